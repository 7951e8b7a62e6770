#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "simulated_eeprom.h"

struct avr_t;
struct uart_pty_t;

namespace marquee8::testing {

enum class Board { kUno, kMega2560 };

// A byte the board's serial port received, and when: the simulated clock's cycle.
struct SerialInput {
  std::uint64_t cycle;
  std::uint8_t byte;
};

// An Arduino Uno's ATmega328P or a Mega 2560's ATmega2560 at 16 MHz running an ELF file in
// simavr, as fast as the host can: simulated time never waits for real time, and simavr prints
// nothing of its own but its pseudo-terminal's name.
class SimulatedBoard {
 public:
  // Starts with `eeprom` in the EEPROM, or erased (every byte 0xFF) without it.
  explicit SimulatedBoard(const std::filesystem::path& firmware, Board board = Board::kUno,
                          const std::vector<std::uint8_t>* eeprom = nullptr);
  SimulatedBoard(const SimulatedBoard&) = delete;
  SimulatedBoard& operator=(const SimulatedBoard&) = delete;
  ~SimulatedBoard();

  // Every byte the SPI sends on MOSI, when it has left: simavr 1.6 sends each a fixed 100 µs
  // after the firmware writes SPDR.
  void on_spi_byte(std::function<void(std::uint8_t)> listener);
  // Every level the firmware drives the SPI's SS pin to (D10 on an Uno, D53 on a Mega), where
  // the MAX7219s' CS is wired.
  void on_chip_select(std::function<void(bool high)> listener);
  // Calls `alarm` once when `microseconds` of simulated time have passed, unless set again
  // before then.
  void set_alarm(std::uint32_t microseconds, std::function<void()> alarm);

  // The serial port (USART0, the USB one) as a pseudo-terminal, whose path this returns; every
  // byte it receives is kept in serial_input().
  std::string open_serial_port();
  // Closes the pseudo-terminal, as pulling the USB cable takes the port away.
  void pull_cable();
  bool serial_port_open() const { return pty_ != nullptr; }
  enum class Direction { kToBoard, kFromBoard };
  // What the wire between the pseudo-terminal and the UART does to each byte.
  void set_wire(std::function<std::uint8_t(Direction, std::uint8_t)> wire) {
    wire_ = std::move(wire);
  }
  const std::vector<SerialInput>& serial_input() const { return serial_input_; }
  // Feeds the serial port `input` at the cycles it gives, instead of a pseudo-terminal: the
  // same bytes at the same moments make the firmware do exactly what it did before.
  void replay_serial_input(std::vector<SerialInput> input);
  // Every byte the firmware sends on its serial port, when the UART sends it.
  void on_serial_output(std::function<void(std::uint8_t)> listener);

  // Runs the firmware until a listener or alarm calls stop(), or until the simulated clock
  // reads `seconds`. Throws if the firmware crashes or ends.
  void run_until(double seconds);
  void stop() { stopped_ = true; }
  void resume() { stopped_ = false; }
  bool stopped() const { return stopped_; }
  double simulated_seconds() const;
  std::uint64_t cycle() const;
  // What the EEPROM holds now: what the board holds if its power is cut now, but for the byte
  // being programmed, if any, which a cut leaves undefined.
  std::vector<std::uint8_t> eeprom() const;
  // How the firmware has programmed its EEPROM, in the chip's three modes.
  SimulatedEeprom& eeprom_model() const { return *eeprom_model_; }

 private:
  avr_t* avr_;
  int cs_pin_;
  std::size_t eeprom_size_;
  std::function<void(std::uint8_t)> spi_listener_;
  std::function<void(bool)> pin_listener_;
  std::function<void()> alarm_;
  std::function<void(std::uint8_t)> serial_listener_;
  std::function<std::uint8_t(Direction, std::uint8_t)> wire_;
  std::unique_ptr<uart_pty_t> pty_;
  // Pulled ports live as long as the simulator: simavr keeps their XON hooks on the UART.
  std::vector<std::unique_ptr<uart_pty_t>> pulled_ptys_;
  std::vector<SerialInput> serial_input_;
  std::vector<SerialInput> replay_;
  std::size_t replayed_ = 0;
  std::unique_ptr<SimulatedEeprom> eeprom_model_;
  bool stopped_ = false;
};

}  // namespace marquee8::testing
