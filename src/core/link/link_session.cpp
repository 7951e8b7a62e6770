#include "link_session.h"

#include <algorithm>
#include <stdexcept>

#include "link_error.h"
#include "marquee8_protocol.h"

namespace marquee8 {
namespace {

using namespace std::chrono_literals;

// Opening an Uno's port resets it; its bootloader waits about a second before the sketch
// starts and greets. A board that does not reset is asked after half that wait.
constexpr auto kGreetingWait = 3s;
constexpr auto kFirstHello = 1500ms;
constexpr auto kHelloAgain = 500ms;
// The slowest reply, to 56 columns written to EEPROM at 3.4 ms each, takes 0.2 s; ten times
// that leaves room for a busy computer, or a simulated board slower than a real one. It is a
// deadline for each try: bytes that keep coming do not extend it.
constexpr auto kReplyWait = 2s;
constexpr int kTries = 3;
// Twice the board's own limit between two bytes of a frame.
constexpr auto kByteWait = 2 * std::chrono::milliseconds(MARQUEE8_BYTE_TIMEOUT_MS);
// After a damaged reply, how long the line must be quiet before the command goes again, so
// that what is left of it is not read as the next reply.
constexpr auto kQuiet = 20ms;

void put16(std::vector<std::uint8_t>& bytes, std::size_t value) {
  bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
  bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

}  // namespace

LinkSession::LinkSession(std::string port, Clock::time_point opened)
    : port_(std::move(port)), opened_(opened), hello_(opened + kFirstHello), last_byte_(opened) {}

void LinkSession::store(const BoardMessage& message) {
  if (task_ != Task::kIdle) throw std::logic_error("a board link does one task at a time");
  message_ = message;
  next_ = 0;
  done_ = 0;
  total_ = message.columns.size();
  task_ = Task::kStoring;
  begin(next_store_command());
}

void LinkSession::read() {
  if (task_ != Task::kIdle) throw std::logic_error("a board link does one task at a time");
  read_.clear();
  reads_ = 0;
  done_ = 0;
  total_ = info_.columns;
  if (info_.columns == 0) return;
  task_ = Task::kReading;
  begin(next_read_command());
}

void LinkSession::require_version_2(std::string_view what) const {
  if (info_.protocol < 2) {
    throw LinkError("the receiver on " + port_ + " is of an earlier version, which cannot " +
                    std::string(what) + ": " + install_again(port_));
  }
}

void LinkSession::start(Task task, Command command) {
  if (task_ != Task::kIdle) throw std::logic_error("a board link does one task at a time");
  done_ = total_ = 0;
  task_ = task;
  begin(std::move(command));
}

void LinkSession::configure(const ModuleLayout& layout) {
  require_version_2("be told its modules' wiring");
  if (layout.modules > info_.max_modules) {
    throw LinkError("the receiver on " + port_ + " drives at most " +
                    std::to_string(info_.max_modules) + " modules, not " +
                    std::to_string(layout.modules));
  }
  const std::vector<std::uint8_t> payload{static_cast<std::uint8_t>(layout.wiring),
                                          static_cast<std::uint8_t>(layout.first_module_left),
                                          static_cast<std::uint8_t>(layout.modules)};
  start(Task::kConfiguring, {encode_frame(MARQUEE8_CONFIGURE, payload), MARQUEE8_INFO});
}

void LinkSession::show_test_pattern(int seconds) {
  require_version_2("show a test pattern");
  const std::vector<std::uint8_t> payload{static_cast<std::uint8_t>(seconds)};
  start(Task::kPattern, {encode_frame(MARQUEE8_TEST_PATTERN, payload), MARQUEE8_OK});
}

std::size_t LinkSession::chunks() const {
  return (message_.columns.size() + MARQUEE8_CHUNK_COLUMNS - 1) / MARQUEE8_CHUNK_COLUMNS;
}

LinkSession::Command LinkSession::next_store_command() const {
  const std::vector<std::uint8_t>& columns = message_.columns;
  std::vector<std::uint8_t> payload;
  if (next_ == 0) {
    put16(payload, columns.size());
    put16(payload, static_cast<std::size_t>(message_.step_ms));
    payload.push_back(static_cast<std::uint8_t>(message_.brightness));
    put16(payload, message_crc(columns));
    return {encode_frame(MARQUEE8_WRITE_BEGIN, payload), MARQUEE8_OK};
  }
  if (next_ > chunks()) return {encode_frame(MARQUEE8_WRITE_END, {}), MARQUEE8_INFO};
  const std::size_t at = (next_ - 1) * MARQUEE8_CHUNK_COLUMNS;
  const std::size_t count = std::min<std::size_t>(MARQUEE8_CHUNK_COLUMNS, columns.size() - at);
  put16(payload, at);
  payload.insert(payload.end(), columns.begin() + static_cast<std::ptrdiff_t>(at),
                 columns.begin() + static_cast<std::ptrdiff_t>(at + count));
  return {encode_frame(MARQUEE8_WRITE_DATA, payload), MARQUEE8_OK};
}

LinkSession::Command LinkSession::next_read_command() const {
  std::vector<std::uint8_t> payload;
  put16(payload, read_.size());
  payload.push_back(static_cast<std::uint8_t>(
      std::min<std::size_t>(MARQUEE8_CHUNK_COLUMNS, info_.columns - read_.size())));
  return {encode_frame(MARQUEE8_READ, payload), MARQUEE8_DATA};
}

void LinkSession::begin(Command command) {
  command_ = std::move(command);
  phase_ = Phase::kSend;
  tries_ = 0;
  damaged_ = false;
}

LinkStep LinkSession::advance(std::span<const std::uint8_t> arrived, Clock::time_point now) {
  if (!arrived.empty()) {
    last_byte_ = now;
    if (task_ != Task::kGreeting && phase_ == Phase::kSkip) {
      quiet_until_ = now + kQuiet;
    } else {
      reader_.add(arrived);
    }
  }
  LinkStep step;
  for (;;) {
    if (task_ == Task::kIdle) {
      step.finished = true;
      return step;
    }
    if (task_ == Task::kGreeting) {
      const std::optional<Frame> greeting = greet(now, step);
      if (!greeting) return step;
      info_ = read_info(greeting->payload, port_);
      task_ = Task::kIdle;
      continue;
    }
    try {
      const std::optional<Frame> reply = exchange(now, step);
      if (!reply) return step;
      take(*reply);
    } catch (const LinkError& error) {
      if (task_ == Task::kConfirming) throw StoreUnknown(end_failure_);
      if (!committed()) throw;
      // A lost or unreadable answer to WRITE_END: a board that did store the message refuses
      // another WRITE_END, as it has nothing left to end. Whether it stored it, its INFO says.
      end_failure_ = error.what();
      task_ = Task::kConfirming;
      begin({encode_frame(MARQUEE8_HELLO, {}), MARQUEE8_INFO});
    }
  }
}

std::optional<Frame> LinkSession::greet(Clock::time_point now, LinkStep& step) {
  for (;;) {
    FrameReader::Result result = reader_.next();
    if (result.frame && result.frame->type == MARQUEE8_INFO) return result.frame;
    if (!result.frame && !result.damaged) break;
  }
  const bool partial = reader_.partial();
  if (partial && now >= last_byte_ + kByteWait) reader_.clear();
  if (now >= opened_ + kGreetingWait) {
    throw LinkError("no marquee8 receiver answered on " + port_ +
                    " within 3 s: is the receiver sketch flashed?");
  }
  if (now >= hello_) {
    const std::vector<std::uint8_t> hello = encode_frame(MARQUEE8_HELLO, {});
    step.send.insert(step.send.end(), hello.begin(), hello.end());
    while (hello_ <= now) hello_ += kHelloAgain;
  }
  step.wake = std::min(hello_, opened_ + kGreetingWait);
  if (reader_.partial()) step.wake = std::min(step.wake, last_byte_ + kByteWait);
  return std::nullopt;
}

std::optional<Frame> LinkSession::exchange(Clock::time_point now, LinkStep& step) {
  for (;;) {
    switch (phase_) {
      case Phase::kSend:
        if (tries_ == kTries) {
          if (damaged_) {
            throw LinkError("the data to or from " + port_ + " kept arriving damaged (" +
                            std::to_string(kTries) + " tries): check the cable");
          }
          throw LinkError("the receiver on " + port_ + " stopped answering");
        }
        ++tries_;
        damaged_ = false;
        step.send.insert(step.send.end(), command_.frame.begin(), command_.frame.end());
        deadline_ = now + kReplyWait;
        last_byte_ = now;
        phase_ = Phase::kAwait;
        break;
      case Phase::kAwait: {
        for (;;) {
          FrameReader::Result result = reader_.next();
          if (result.frame) {
            if (result.frame->type == command_.reply) return result.frame;
            if (result.frame->type == MARQUEE8_ERROR && asks_again(result.frame->payload, port_)) {
              damaged_ = true;
              break;
            }
            continue;  // a greeting or a late reply to an earlier try
          }
          damaged_ = result.damaged;
          break;
        }
        // The bytes of a frame come one after the other: one that stops is damaged.
        const bool partial = reader_.partial();
        const auto until = partial ? std::min(deadline_, last_byte_ + kByteWait) : deadline_;
        if (!damaged_ && now >= until) {
          damaged_ = partial;
          if (!partial) phase_ = Phase::kSend;
        }
        if (damaged_) {
          phase_ = Phase::kSkip;
          quiet_until_ = now + kQuiet;
          break;
        }
        if (phase_ == Phase::kSend) break;
        step.wake = until;
        return std::nullopt;
      }
      case Phase::kSkip: {
        // Bytes are skipped until the line is quiet, but not past the try's deadline, as a
        // line may never be quiet.
        const auto until = std::min(quiet_until_, deadline_);
        if (now < until) {
          step.wake = until;
          return std::nullopt;
        }
        reader_.clear();
        phase_ = Phase::kSend;
        break;
      }
    }
  }
}

void LinkSession::take(const Frame& reply) {
  switch (task_) {
    case Task::kStoring:
      if (next_ > chunks()) {
        info_ = read_info(reply.payload, port_);
        task_ = Task::kIdle;
        return;
      }
      done_ = std::min(next_ * MARQUEE8_CHUNK_COLUMNS, message_.columns.size());
      ++next_;
      begin(next_store_command());
      return;
    case Task::kConfiguring:
      info_ = read_info(reply.payload, port_);
      task_ = Task::kIdle;
      return;
    case Task::kPattern:
      task_ = Task::kIdle;
      return;
    case Task::kConfirming:
      info_ = read_info(reply.payload, port_);
      task_ = Task::kIdle;  // known now: the board shows the new message or the old one
      if (info_.columns != message_.columns.size() || info_.crc != message_crc(message_.columns) ||
          info_.step_ms != message_.step_ms || info_.brightness != message_.brightness) {
        throw LinkError(end_failure_);
      }
      return;
    case Task::kReading: {
      const std::size_t want =
          std::min<std::size_t>(MARQUEE8_CHUNK_COLUMNS, info_.columns - read_.size());
      const std::span<const std::uint8_t> got = read_data(reply.payload, read_.size(), want, port_);
      read_.insert(read_.end(), got.begin(), got.end());
      done_ = read_.size();
      if (read_.size() < info_.columns) return begin(next_read_command());
      if (message_crc(read_) == info_.crc) {
        task_ = Task::kIdle;
        return;
      }
      // A board may read its EEPROM wrong once; twice, it is failing.
      if (++reads_ == 2) {
        throw LinkError("the message read twice from the receiver on " + port_ +
                        " does not have the CRC the receiver gave for it: its EEPROM may be "
                        "failing; send the message again");
      }
      read_.clear();
      done_ = 0;
      return begin(next_read_command());
    }
    case Task::kGreeting:
    case Task::kIdle:
      return;
  }
}

}  // namespace marquee8
