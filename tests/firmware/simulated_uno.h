#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>

struct avr_t;

namespace marquee8::testing {

// An Arduino Uno's ATmega328P at 16 MHz running an ELF file in simavr, as fast as the host can:
// simulated time never waits for real time, and simavr prints nothing of its own.
class SimulatedUno {
 public:
  explicit SimulatedUno(const std::filesystem::path& firmware);
  SimulatedUno(const SimulatedUno&) = delete;
  SimulatedUno& operator=(const SimulatedUno&) = delete;
  ~SimulatedUno();

  // Every byte the SPI sends on MOSI, when it has left: simavr 1.6 sends each a fixed 100 µs
  // after the firmware writes SPDR.
  void on_spi_byte(std::function<void(std::uint8_t)> listener);
  // Every level the firmware drives port B's `pin` to (D10, the Uno's SS, is PB2).
  void on_port_b_pin(int pin, std::function<void(bool high)> listener);
  // Calls `alarm` once when `microseconds` of simulated time have passed, unless set again
  // before then.
  void set_alarm(std::uint32_t microseconds, std::function<void()> alarm);

  // Runs the firmware until a listener or alarm calls stop(), or until the simulated clock
  // reads `seconds`. Throws if the firmware crashes or ends.
  void run_until(double seconds);
  void stop() { stopped_ = true; }
  bool stopped() const { return stopped_; }
  double simulated_seconds() const;

 private:
  avr_t* avr_;
  std::function<void(std::uint8_t)> spi_listener_;
  std::function<void(bool)> pin_listener_;
  std::function<void()> alarm_;
  bool stopped_ = false;
};

}  // namespace marquee8::testing
