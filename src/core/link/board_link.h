#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "frames.h"
#include "serial_port.h"

namespace marquee8 {

// What a receiver says about itself and the message it stores (the protocol's INFO).
struct BoardInfo {
  int board = 0;  // MARQUEE8_BOARD_...
  std::size_t capacity = 0;
  bool generic_modules = false;
  int modules = 0;
  std::size_t columns = 0;  // 0: nothing stored, the board scrolls its waiting text
  int step_ms = 0;
  int brightness = 0;
  std::uint16_t crc = 0;

  // "Arduino Uno", "Arduino Mega 2560", "AVR board".
  std::string board_name() const;
};

// A message as a receiver stores it: its columns (bit 0 the top LED) and how it scrolls.
struct BoardMessage {
  std::vector<std::uint8_t> columns;
  int step_ms = 40;
  int brightness = 2;
};

// Told how far a long task is, in steps; returns false to stop it.
using LinkProgress = std::function<bool(std::size_t done, std::size_t total)>;

// A talk with a marquee8 receiver on a serial port, frame by frame as docs/protocol.md says:
// every command answered, a damaged frame sent again, up to three tries. Every failure throws
// LinkError.
class BoardLink {
 public:
  // Opens the port and waits for the board's greeting (opening resets an Uno), asking for it
  // if the board does not reset; refuses a board of another protocol version.
  explicit BoardLink(const std::string& port);

  const std::string& port() const { return port_.name(); }
  const BoardInfo& info() const { return info_; }

  // Writes the message and has the board check and store it; `progress` counts the columns
  // sent. Until the board has stored all of it, it keeps its previous message.
  void store(const BoardMessage& message, const LinkProgress& progress);
  // The first `count` columns the board stores; `progress` counts the columns read.
  std::vector<std::uint8_t> read_columns(std::size_t count, const LinkProgress& progress);

 private:
  void wait_for_greeting();
  Frame transact(std::uint8_t command, std::span<const std::uint8_t> payload, std::uint8_t reply);
  std::optional<Frame> next_frame(SerialPort::Clock::time_point deadline, bool& damaged);
  void take_info(const Frame& info);

  SerialPort port_;
  FrameReader reader_;
  BoardInfo info_;
};

}  // namespace marquee8
