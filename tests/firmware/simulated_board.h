#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
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

// A genuine Arduino bootloader (an Intel HEX file) and the high fuse its board leaves the
// factory with: its BOOTSZ bits say where the boot section starts, and BOOTRST is programmed,
// so every reset starts there.
struct Bootloader {
  std::filesystem::path hex;
  std::uint8_t high_fuse;
};

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
  // A board as it leaves the factory: nothing in its flash but `bootloader`. It keeps to real
  // time, as a program at the other end of its serial port expects of a bootloader's waits, and
  // it resets whenever a program opens its port, as an Uno's DTR line resets it, keeping its
  // flash.
  SimulatedBoard(const Bootloader& bootloader, Board board,
                 const std::vector<std::uint8_t>* eeprom = nullptr);
  SimulatedBoard(const SimulatedBoard&) = delete;
  SimulatedBoard& operator=(const SimulatedBoard&) = delete;
  ~SimulatedBoard();

  // Every byte the SPI sends on MOSI, when it has left: 8 SCK periods after the firmware writes
  // SPDR.
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
  // What the flash holds now.
  std::vector<std::uint8_t> flash() const;
  // How many times a program opened the serial port, each a reset.
  int port_openings() const { return port_openings_; }
  // How the firmware has programmed its EEPROM, in the chip's three modes.
  SimulatedEeprom& eeprom_model() const { return *eeprom_model_; }

 private:
  SimulatedBoard(Board board, const std::vector<std::uint8_t>* eeprom,
                 const std::function<void(avr_t*)>& load);
  void load_bootloader(const Bootloader& bootloader);
  void correct_simavr();
  void watch_port_openings(const std::string& port);
  void start_ticking();
  void tick_from_now();
  void tick();
  void reset(std::uint8_t cause);
  void on_the_wire(std::uint8_t byte);
  // Whether the host set the port to the speed the firmware set its USART to (within 5 %).
  bool at_the_uarts_speed() const;

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
  // A bootloader board's: the inotify descriptor that sees the port opened, the pending reset's
  // MCUSR bits, and where real time stood at a simulated cycle.
  bool bootloader_ = false;
  int port_watch_ = -1;
  int port_openings_ = 0;
  std::uint8_t reset_cause_ = 0;
  std::uint64_t paced_cycle_ = 0;
  std::chrono::steady_clock::time_point paced_at_;
  std::deque<std::uint8_t> on_wire_;  // sent by the host, not yet through the UART's pin
  std::shared_ptr<void> reset_hook_;  // the part of the chip simavr resets, which ticks again
};

}  // namespace marquee8::testing
