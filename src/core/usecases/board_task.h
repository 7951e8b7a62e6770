#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "link_error.h"
#include "link_session.h"

namespace marquee8 {

// A send to a board or a read of what it stores, as every front end words it, doing no I/O:
// the page's Web Serial drives it step by step (see LinkSession::advance), as BoardLink's port
// drives send_to_board. Every failure throws LinkError in the user's words; a send's says
// whether the board keeps its previous message.
class BoardTask {
 public:
  using Clock = LinkSession::Clock;
  enum class Kind { kSend, kReceive };

  // `message` is sent, and read back to check it, for kSend; unused for kReceive. `read_back`
  // names how the user learns what a board shows after an unknown store (--receive, Read back).
  BoardTask(Kind kind, std::string port, BoardMessage message, Clock::time_point opened,
            std::string read_back);

  LinkStep advance(std::span<const std::uint8_t> arrived, Clock::time_point now);
  // Told that the port itself failed (a pulled cable); throws what that means for the board
  // while a store is under way. The failure stands as it is otherwise.
  void port_failed(const LinkError& error) const;

  // Columns sent and read back so far, of all; a send counts its read-back too.
  std::size_t done() const;
  std::size_t total() const;
  // Whether a stop now leaves the board's previous message in place: not once the board was
  // asked to store the new one, nor while it is read back after that.
  bool cancellable() const {
    return stage_ == Stage::kGreeting || stage_ == Stage::kReading ||
           (stage_ == Stage::kStoring && !session_.committed());
  }
  Kind kind() const { return kind_; }
  // Once finished: the send's one-line report, or the message the board stores.
  std::string summary() const;
  const std::vector<std::uint8_t>& received() const { return session_.message(); }
  const BoardInfo& info() const { return session_.info(); }

 private:
  enum class Stage { kGreeting, kStoring, kVerifying, kReading, kFinished };
  void next_stage();

  Kind kind_;
  LinkSession session_;
  BoardMessage message_;
  std::string read_back_;
  Stage stage_ = Stage::kGreeting;
};

// The words a send to a board fails with, shared by every way of driving one.

// Refuses, before anything is written, a message over the board's capacity.
void check_capacity(const BoardInfo& board, const std::string& port, std::size_t columns);
// `error` during a store, said with what the board shows now.
LinkError store_failure(const LinkError& error, const std::string& read_back);
// Refuses a read-back that differs from what was sent.
void check_stored(std::span<const std::uint8_t> stored, std::span<const std::uint8_t> sent,
                  const std::string& port);
// Refuses to read a board that stores no message.
void check_has_message(const BoardInfo& board, const std::string& port);
// "sent 37 columns to /dev/ttyACM0 (Arduino Uno, capacity 500 columns), verified"
std::string send_summary(const std::string& port, const BoardInfo& board, std::size_t columns);

}  // namespace marquee8
