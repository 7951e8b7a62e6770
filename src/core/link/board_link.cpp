#include "board_link.h"

#include <algorithm>

#include "link_error.h"
#include "marquee8_protocol.h"

namespace marquee8 {
namespace {

using namespace std::chrono_literals;
using Clock = SerialPort::Clock;

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
// After a damaged reply, how long the line must be quiet before the command goes again.
constexpr auto kQuiet = 20ms;
// How often a wait asks whether the task is to stop.
constexpr auto kAskEvery = 100ms;

void put16(std::vector<std::uint8_t>& bytes, std::size_t value) {
  bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
  bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

}  // namespace

// The progress a public call was given, for as long as the call runs.
class BoardLink::Task {
 public:
  Task(BoardLink& link, const LinkProgress& progress) : link_(link) {
    link_.progress_ = progress ? &progress : nullptr;
    link_.done_ = link_.total_ = 0;
  }
  Task(const Task&) = delete;
  Task& operator=(const Task&) = delete;
  ~Task() { link_.progress_ = nullptr; }

 private:
  BoardLink& link_;
};

BoardLink::BoardLink(const std::string& port, const LinkProgress& progress) : port_(port) {
  const Task task(*this, progress);
  wait_for_greeting();
}

void BoardLink::report(std::size_t done, std::size_t total) {
  done_ = done;
  total_ = total;
  if (progress_ != nullptr && !(*progress_)(done, total)) throw LinkError("cancelled");
}

std::vector<std::uint8_t> BoardLink::read_some(Clock::time_point until) {
  report(done_, total_);
  return port_.read_some(std::min(until, Clock::now() + kAskEvery));
}

std::optional<Frame> BoardLink::next_frame(Clock::time_point deadline, bool& damaged) {
  auto last_byte = Clock::now();
  for (;;) {
    FrameReader::Result result = reader_.next();
    if (result.frame) return result.frame;
    if (result.damaged) {
      damaged = true;
      return std::nullopt;
    }
    // The bytes of a frame come one after the other: one that stops is damaged.
    const bool partial = reader_.partial();
    const auto until = partial ? std::min(deadline, last_byte + kByteWait) : deadline;
    if (Clock::now() >= until) {
      if (partial) {
        reader_.clear();
        damaged = true;
      }
      return std::nullopt;
    }
    const std::vector<std::uint8_t> bytes = read_some(until);
    if (!bytes.empty()) {
      last_byte = Clock::now();
      reader_.add(bytes);
    }
  }
}

// What is left of a damaged reply must not be read as the next one: bytes are skipped until
// the line is quiet, but not past the try's deadline, as a line may never be quiet.
void BoardLink::skip_rest(Clock::time_point deadline) {
  auto quiet = Clock::now() + kQuiet;
  while (Clock::now() < std::min(quiet, deadline)) {
    if (!read_some(std::min(quiet, deadline)).empty()) quiet = Clock::now() + kQuiet;
  }
  reader_.clear();
}

void BoardLink::wait_for_greeting() {
  const auto opened = Clock::now();
  auto hello = opened + kFirstHello;
  while (Clock::now() < opened + kGreetingWait) {
    bool damaged = false;
    const std::optional<Frame> frame = next_frame(std::min(hello, opened + kGreetingWait), damaged);
    if (frame && frame->type == MARQUEE8_INFO) {
      info_ = read_info(frame->payload, port_.name());
      return;
    }
    if (Clock::now() >= hello) {
      port_.write(encode_frame(MARQUEE8_HELLO, {}));
      hello += kHelloAgain;
    }
  }
  throw LinkError("no marquee8 receiver answered on " + port_.name() +
                  " within 3 s: is the receiver sketch flashed?");
}

Frame BoardLink::transact(std::uint8_t command, std::span<const std::uint8_t> payload,
                          std::uint8_t reply) {
  const std::vector<std::uint8_t> frame = encode_frame(command, payload);
  bool damaged = false;
  for (int attempt = 0; attempt < kTries; ++attempt) {
    port_.write(frame);
    const auto deadline = Clock::now() + kReplyWait;
    damaged = false;
    while (!damaged) {
      const std::optional<Frame> answer = next_frame(deadline, damaged);
      if (!answer) break;
      if (answer->type == reply) return *answer;
      if (answer->type == MARQUEE8_ERROR) damaged = asks_again(answer->payload, port_.name());
    }
    if (damaged) skip_rest(deadline);
  }
  if (damaged) {
    throw LinkError("the data to or from " + port_.name() + " kept arriving damaged (" +
                    std::to_string(kTries) + " tries): check the cable");
  }
  throw LinkError("the receiver on " + port_.name() + " stopped answering");
}

void BoardLink::store(const BoardMessage& message, const LinkProgress& progress) {
  const Task task(*this, progress);
  const std::vector<std::uint8_t>& columns = message.columns;
  std::vector<std::uint8_t> begin;
  put16(begin, columns.size());
  put16(begin, static_cast<std::size_t>(message.step_ms));
  begin.push_back(static_cast<std::uint8_t>(message.brightness));
  put16(begin, message_crc(columns));
  report(0, columns.size());
  transact(MARQUEE8_WRITE_BEGIN, begin, MARQUEE8_OK);
  for (std::size_t at = 0; at < columns.size(); at += MARQUEE8_CHUNK_COLUMNS) {
    report(at, columns.size());
    const std::size_t count = std::min<std::size_t>(MARQUEE8_CHUNK_COLUMNS, columns.size() - at);
    std::vector<std::uint8_t> chunk;
    put16(chunk, at);
    chunk.insert(chunk.end(), columns.begin() + static_cast<std::ptrdiff_t>(at),
                 columns.begin() + static_cast<std::ptrdiff_t>(at + count));
    transact(MARQUEE8_WRITE_DATA, chunk, MARQUEE8_OK);
  }
  report(columns.size(), columns.size());
  // Once WRITE_END is out, the board's answer says which message it shows: a stop now would
  // leave that unknown.
  progress_ = nullptr;
  try {
    info_ = read_info(transact(MARQUEE8_WRITE_END, {}, MARQUEE8_INFO).payload, port_.name());
  } catch (const LinkError& error) {
    // A lost answer to WRITE_END is retried, and a board that did store the message then has
    // nothing left to end: whether it did, its INFO says.
    try {
      info_ = read_info(transact(MARQUEE8_HELLO, {}, MARQUEE8_INFO).payload, port_.name());
    } catch (const LinkError&) {
      throw StoreUnknown(error.what());
    }
    if (info_.columns != columns.size() || info_.crc != message_crc(columns) ||
        info_.step_ms != message.step_ms || info_.brightness != message.brightness) {
      throw;
    }
  }
}

std::vector<std::uint8_t> BoardLink::read_columns() {
  std::vector<std::uint8_t> columns;
  while (columns.size() < info_.columns) {
    report(columns.size(), info_.columns);
    const std::size_t want =
        std::min<std::size_t>(MARQUEE8_CHUNK_COLUMNS, info_.columns - columns.size());
    std::vector<std::uint8_t> request;
    put16(request, columns.size());
    request.push_back(static_cast<std::uint8_t>(want));
    const Frame data = transact(MARQUEE8_READ, request, MARQUEE8_DATA);
    const std::span<const std::uint8_t> got =
        read_data(data.payload, columns.size(), want, port_.name());
    columns.insert(columns.end(), got.begin(), got.end());
  }
  report(columns.size(), info_.columns);
  return columns;
}

std::vector<std::uint8_t> BoardLink::read_message(const LinkProgress& progress) {
  const Task task(*this, progress);
  if (info_.columns == 0) return {};
  // A board may read its EEPROM wrong once; twice, it is failing.
  for (int read = 0; read < 2; ++read) {
    std::vector<std::uint8_t> columns = read_columns();
    if (message_crc(columns) == info_.crc) return columns;
  }
  throw LinkError("the message read twice from the receiver on " + port_.name() +
                  " does not have the CRC the receiver gave for it: its EEPROM may be failing; "
                  "send the message again");
}

}  // namespace marquee8
