#include "simulated_eeprom.h"

#include <avr_eeprom.h>
#include <sim_avr.h>
#include <sim_io.h>

#include <stdexcept>

namespace marquee8::testing {
namespace {

// The EEPROM's registers, at the same data addresses on both chips.
constexpr avr_io_addr_t kEecr = 0x3F, kEedr = 0x40, kEearl = 0x41, kEearh = 0x42;
constexpr std::uint8_t kEepe = 1 << 1, kEempe = 1 << 2;
constexpr int kEepmShift = 4;
constexpr std::uint8_t kEraseOnly = 1, kWriteOnly = 2;
constexpr avr_cycle_count_t kCyclesPerMicrosecond = 16;

}  // namespace

SimulatedEeprom::SimulatedEeprom(avr_t* avr) : avr_(avr) {
  avr_eeprom_desc_t cells = {nullptr, 0, 0};  // asks for simavr's own bytes
  avr_ioctl(avr, AVR_IOCTL_EEPROM_GET, &cells);
  if (cells.ee == nullptr) throw std::runtime_error("simavr has no EEPROM for this chip");
  cells_ = cells.ee;
  auto& control = avr->io[AVR_DATA_TO_IO(kEecr)].w;
  simavr_write_ = control.c;
  simavr_param_ = control.param;
  // In its place, not through avr_register_io_write, which would call simavr's after it.
  control.c = write_control;
  control.param = this;
}

void SimulatedEeprom::write_control(avr_t* avr, std::uint16_t address, std::uint8_t value,
                                    void* self) {
  auto* eeprom = static_cast<SimulatedEeprom*>(self);
  // EEPE starts a byte only within four cycles of EEMPE, and not while one is being programmed.
  const bool starts =
      (avr->data[kEecr] & kEempe) != 0 && (value & kEepe) != 0 && !eeprom->byte_being_programmed();
  const auto cell = static_cast<std::uint16_t>(avr->data[kEearl] | avr->data[kEearh] << 8);
  const std::uint8_t old = eeprom->cells_[cell];
  eeprom->simavr_write_(avr, address, value, eeprom->simavr_param_);
  if (!starts) return;
  const std::uint8_t data = avr->data[kEedr];
  std::uint32_t microseconds = kEraseOrWriteMicroseconds;
  const int mode = (value >> kEepmShift) & 3;
  switch (mode) {
    case kEraseOnly:
      eeprom->cells_[cell] = 0xFF;
      ++eeprom->operations_.erase;
      break;
    case kWriteOnly:
      eeprom->cells_[cell] = old & data;
      ++eeprom->operations_.write;
      break;
    default:  // 00, and 11, which the datasheets reserve
      eeprom->cells_[cell] = data;
      ++eeprom->operations_.erase_and_write;
      microseconds = kEraseAndWriteMicroseconds;
  }
  eeprom->address_ = cell;
  eeprom->busy_until_ = avr->cycle + microseconds * kCyclesPerMicrosecond;
  if (eeprom->write_listener_ && mode != kEraseOnly) {
    eeprom->write_listener_(eeprom->busy_until_);
  }
  avr->data[kEecr] |= kEepe;  // the firmware waits for it to clear
  avr_cycle_timer_register_usec(
      avr, microseconds,
      [](avr_t* avr, avr_cycle_count_t, void*) {
        avr->data[kEecr] &= static_cast<std::uint8_t>(~kEepe);
        return avr_cycle_count_t{0};
      },
      nullptr);
}

double SimulatedEeprom::busy_seconds() const {
  return (static_cast<double>(operations_.erase_and_write) * kEraseAndWriteMicroseconds +
          static_cast<double>(operations_.erase + operations_.write) * kEraseOrWriteMicroseconds) /
         1e6;
}

std::optional<std::uint16_t> SimulatedEeprom::byte_being_programmed() const {
  if (avr_->cycle >= busy_until_) return std::nullopt;
  return address_;
}

}  // namespace marquee8::testing
