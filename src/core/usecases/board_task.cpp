#include "board_task.h"

#include <algorithm>

#include "stopped_board_task.h"

namespace marquee8 {

BoardTask::BoardTask(Kind kind, std::string port, BoardMessage message, Clock::time_point opened,
                     std::string read_back)
    : kind_(kind),
      session_(std::move(port), opened),
      message_(std::move(message)),
      read_back_(std::move(read_back)) {}

std::size_t BoardTask::total() const {
  return kind_ == Kind::kSend ? 2 * message_.columns.size() : session_.total();
}

std::size_t BoardTask::done() const {
  switch (stage_) {
    case Stage::kStoring:
      return session_.done();
    case Stage::kVerifying:
      return message_.columns.size() + session_.done();
    case Stage::kReading:
      return session_.done();
    case Stage::kFinished:
      return total();
    case Stage::kGreeting:
      break;
  }
  return 0;
}

LinkStep BoardTask::advance(std::span<const std::uint8_t> arrived, Clock::time_point now) {
  LinkStep step;
  for (;;) {
    if (stage_ == Stage::kFinished) {
      step.finished = true;
      return step;
    }
    LinkStep part;
    try {
      part = session_.advance(arrived, now);
    } catch (const LinkError& error) {
      if (stage_ == Stage::kStoring) throw store_failure(error, read_back_);
      throw;
    }
    arrived = {};
    step.send.insert(step.send.end(), part.send.begin(), part.send.end());
    step.wake = part.wake;
    if (!part.finished) return step;
    next_stage();
  }
}

void BoardTask::port_failed(const LinkError& error) const {
  if (stage_ != Stage::kStoring) return;
  // Once the board was asked to store the message, a lost port leaves it unknown.
  if (session_.committed()) throw store_failure(StoreUnknown(error.what()), read_back_);
  throw store_failure(error, read_back_);
}

void BoardTask::next_stage() {
  const std::string& port = session_.port();
  switch (stage_) {
    case Stage::kGreeting:
      if (kind_ == Kind::kSend) {
        check_capacity(session_.info(), port, message_.columns.size());
        session_.store(message_);
        stage_ = Stage::kStoring;
      } else {
        check_has_message(session_.info(), port);
        session_.read();
        stage_ = Stage::kReading;
      }
      return;
    case Stage::kStoring:
      session_.read();
      stage_ = Stage::kVerifying;
      return;
    case Stage::kVerifying:
      check_stored(session_.message(), message_.columns, port);
      stage_ = Stage::kFinished;
      return;
    case Stage::kReading:
    case Stage::kFinished:
      stage_ = Stage::kFinished;
      return;
  }
}

std::string BoardTask::summary() const {
  return send_summary(session_.port(), session_.info(), message_.columns.size());
}

void check_capacity(const BoardInfo& board, const std::string& port, std::size_t columns) {
  if (columns > board.capacity) {
    throw LinkError("the message has " + std::to_string(columns) + " columns, but the " +
                    board.board_name() + " on " + port + " holds at most " +
                    std::to_string(board.capacity) + ": nothing was sent");
  }
}

LinkError store_failure(const LinkError& error, const std::string& read_back) {
  if (dynamic_cast<const StoreUnknown*>(&error)) {
    return LinkError(std::string(error.what()) + "; the board may show the new message; " +
                     read_back + " tells");
  }
  return LinkError(std::string(error.what()) + "; " + std::string(kStoppedSendLeaves));
}

void check_stored(std::span<const std::uint8_t> stored, std::span<const std::uint8_t> sent,
                  const std::string& port) {
  if (!std::equal(stored.begin(), stored.end(), sent.begin(), sent.end())) {
    throw LinkError("the receiver on " + port + " stored other columns than were sent");
  }
}

void check_has_message(const BoardInfo& board, const std::string& port) {
  if (board.columns == 0) throw LinkError("the receiver on " + port + " stores no message yet");
}

std::string send_summary(const std::string& port, const BoardInfo& board, std::size_t columns) {
  return "sent " + std::to_string(columns) + " columns to " + port + " (" + board.board_name() +
         ", capacity " + std::to_string(board.capacity) + " columns), verified";
}

}  // namespace marquee8
