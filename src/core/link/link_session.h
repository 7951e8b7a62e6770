#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "frames.h"
#include "link_step.h"
#include "replies.h"
#include "setting_ranges.h"

namespace marquee8 {

// A message as a receiver stores it: its columns (bit 0 the top LED) and how it scrolls.
struct BoardMessage {
  std::vector<std::uint8_t> columns;
  int step_ms = kStepRange.fallback;
  int brightness = kBrightnessRange.fallback;
};

// A talk with a marquee8 receiver, frame by frame as docs/protocol.md says, doing no I/O: it
// is given the bytes that arrived and the time, and says what to send and when to wake it, so
// that a terminal, Web Serial and the tests drive the same protocol. Every command is
// answered, a damaged frame is sent again, up to three tries of 2 s each; every failure
// throws LinkError in words for the user. It starts by awaiting the board's greeting (opening
// the port resets an Uno), asking for it if the board does not reset.
class LinkSession {
 public:
  using Clock = std::chrono::steady_clock;

  LinkSession(std::string port, Clock::time_point opened);

  // A task is given once the last one finished; the greeting is the first.

  // Writes the message and has the board check and store it. Until the board has stored all
  // of it, it keeps its previous message; once WRITE_END is out, committed() says so, and a
  // failure then is a StoreUnknown unless the board says it kept the old one.
  void store(const BoardMessage& message);
  // Reads the stored message, checked against the CRC the board gave for it (read twice
  // before giving up); message() has it once finished.
  void read();
  // Tells the board its modules' layout, which it keeps; info() then has it. Refused before
  // anything is sent by a version 1 board, or for more modules than the board drives.
  void configure(const ModuleLayout& layout);
  // Has the board show its test pattern for `seconds` (1..60) or until the next command.
  void show_test_pattern(int seconds);

  LinkStep advance(std::span<const std::uint8_t> arrived, Clock::time_point now);

  const std::string& port() const { return port_; }
  const BoardInfo& info() const { return info_; }
  const std::vector<std::uint8_t>& message() const { return read_; }
  // Columns written or read so far, of all the task has.
  std::size_t done() const { return done_; }
  std::size_t total() const { return total_; }
  // Whether a stop now would leave the board's message unknown.
  bool committed() const {
    return (task_ == Task::kStoring && next_ > chunks()) || task_ == Task::kConfirming;
  }

 private:
  enum class Task { kGreeting, kIdle, kStoring, kConfirming, kReading, kConfiguring, kPattern };
  struct Command {
    std::vector<std::uint8_t> frame;
    std::uint8_t reply = 0;
  };
  enum class Phase { kSend, kAwait, kSkip };

  std::optional<Frame> greet(Clock::time_point now, LinkStep& step);
  std::optional<Frame> exchange(Clock::time_point now, LinkStep& step);
  void take(const Frame& reply);
  void begin(Command command);
  void start(Task task, Command command);
  void require_version_2(std::string_view what) const;
  Command next_store_command() const;
  Command next_read_command() const;
  std::size_t chunks() const;

  std::string port_;
  Task task_ = Task::kGreeting;
  FrameReader reader_;
  BoardInfo info_;
  Clock::time_point opened_, hello_, last_byte_;

  Command command_;
  Phase phase_ = Phase::kSend;
  int tries_ = 0;
  bool damaged_ = false;
  Clock::time_point deadline_, quiet_until_;

  BoardMessage message_;
  std::vector<std::uint8_t> read_;
  int reads_ = 0;
  std::size_t next_ = 0;  // of the store: 0 WRITE_BEGIN, then the chunks, then WRITE_END
  std::string end_failure_;
  std::size_t done_ = 0, total_ = 0;
};

}  // namespace marquee8
