#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

struct avr_t;

namespace marquee8::testing {

// The EEPROM of an ATmega328P or ATmega2560 as their datasheets describe its programming, which
// simavr 1.6 does not model: it stores EEDR at once whatever EEPM asks, and clears EEPE at once.
// Here EEPE stays set while the byte is programmed, and EEPM picks how:
//   00 erase and write, 3.4 ms: the byte becomes EEDR
//   01 erase only,      1.8 ms: the byte becomes 0xFF
//   10 write only,      1.8 ms: the byte can only lose bits, it becomes its old value AND EEDR
class SimulatedEeprom {
 public:
  // Takes over `avr`'s writes to EECR; `avr` must outlive it.
  explicit SimulatedEeprom(avr_t* avr);

  struct Operations {
    std::size_t erase_and_write = 0;
    std::size_t erase = 0;
    std::size_t write = 0;
  };
  // How many bytes the firmware has programmed in each mode.
  const Operations& operations() const { return operations_; }
  // How long the chip was busy programming them.
  double busy_seconds() const;
  // The byte being programmed now, if any: a power cut leaves it undefined.
  std::optional<std::uint16_t> byte_being_programmed() const;
  // Told of each byte written (erased and written, or written alone) as it starts: the cycle
  // it will be done.
  void on_write(std::function<void(std::uint64_t done)> listener) {
    write_listener_ = std::move(listener);
  }

  static constexpr std::uint32_t kEraseAndWriteMicroseconds = 3'400;
  static constexpr std::uint32_t kEraseOrWriteMicroseconds = 1'800;

 private:
  static void write_control(avr_t* avr, std::uint16_t address, std::uint8_t value, void* self);

  avr_t* avr_;
  void (*simavr_write_)(avr_t*, std::uint16_t, std::uint8_t, void*);
  void* simavr_param_;
  std::uint8_t* cells_;
  Operations operations_;
  std::function<void(std::uint64_t)> write_listener_;
  std::uint64_t busy_until_ = 0;  // the cycle the byte being programmed is done
  std::uint16_t address_ = 0;     // that byte
};

}  // namespace marquee8::testing
