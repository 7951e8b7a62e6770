#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "frames.h"
#include "replies.h"
#include "serial_port.h"
#include "setting_ranges.h"

namespace marquee8 {

// A message as a receiver stores it: its columns (bit 0 the top LED) and how it scrolls.
struct BoardMessage {
  std::vector<std::uint8_t> columns;
  int step_ms = kStepRange.fallback;
  int brightness = kBrightnessRange.fallback;
};

// Told how far a long task is, in steps; returns false to stop it. While the link waits for
// the board it is asked again, with the same figures, at least ten times a second, so that a
// stop takes effect at once whatever the line carries.
using LinkProgress = std::function<bool(std::size_t done, std::size_t total)>;

// A talk with a marquee8 receiver on a serial port, frame by frame as docs/protocol.md says:
// every command answered, a damaged frame sent again, up to three tries of 2 s each. Every
// failure throws LinkError.
class BoardLink {
 public:
  // Opens the port and waits for the board's greeting (opening resets an Uno), asking for it
  // if the board does not reset; refuses a board of another protocol version. `progress`, if
  // given, is asked (0 of 0) while it waits.
  explicit BoardLink(const std::string& port, const LinkProgress& progress = {});

  const std::string& port() const { return port_.name(); }
  const BoardInfo& info() const { return info_; }

  // Writes the message and has the board check and store it; `progress` counts the columns
  // sent. Until the board has stored all of it, it keeps its previous message; once asked to
  // store it, the send is no longer stopped by `progress`, and a failure then is a
  // StoreUnknown unless the board says it kept the old one.
  void store(const BoardMessage& message, const LinkProgress& progress);
  // The message the board stores, checked against the CRC the board gave for it (read twice
  // before giving up); `progress` counts the columns read.
  std::vector<std::uint8_t> read_message(const LinkProgress& progress);

 private:
  class Task;

  void wait_for_greeting();
  Frame transact(std::uint8_t command, std::span<const std::uint8_t> payload, std::uint8_t reply);
  std::optional<Frame> next_frame(SerialPort::Clock::time_point deadline, bool& damaged);
  std::vector<std::uint8_t> read_some(SerialPort::Clock::time_point until);
  void skip_rest(SerialPort::Clock::time_point deadline);
  std::vector<std::uint8_t> read_columns();
  // Tells the task's progress how far it is; throws LinkError if it says stop.
  void report(std::size_t done, std::size_t total);

  SerialPort port_;
  FrameReader reader_;
  BoardInfo info_;
  const LinkProgress* progress_ = nullptr;
  std::size_t done_ = 0, total_ = 0;
};

}  // namespace marquee8
