#include "board_link.h"

#include <algorithm>
#include <array>

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
// that leaves room for a busy computer, or a simulated board slower than a real one.
constexpr auto kReplyWait = 2s;
constexpr int kTries = 3;
// Twice the board's own limit between two bytes of a frame.
constexpr auto kByteWait = 2 * std::chrono::milliseconds(MARQUEE8_BYTE_TIMEOUT_MS);

std::uint16_t get16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}
void put16(std::vector<std::uint8_t>& bytes, std::size_t value) {
  bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
  bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

std::string describe_error(int code) {
  switch (code) {
    case MARQUEE8_ERROR_UNKNOWN:
      return "it does not know a command marquee8 sent";
    case MARQUEE8_ERROR_TOO_LONG:
      return "the message does not fit its EEPROM";
    case MARQUEE8_ERROR_SETTINGS:
      return "the step or the brightness is out of range";
    case MARQUEE8_ERROR_MESSAGE_CRC:
      return "the message it stored does not match what was sent (EEPROM worn out?)";
    default:
      return "it refused a command (error " + std::to_string(code) + ")";
  }
}

}  // namespace

std::string BoardInfo::board_name() const {
  switch (board) {
    case MARQUEE8_BOARD_UNO:
      return "Arduino Uno";
    case MARQUEE8_BOARD_MEGA_2560:
      return "Arduino Mega 2560";
    default:
      return "AVR board";
  }
}

BoardLink::BoardLink(const std::string& port) : port_(port) { wait_for_greeting(); }

std::optional<Frame> BoardLink::next_frame(Clock::time_point deadline, bool& damaged) {
  for (;;) {
    FrameReader::Result result = reader_.next();
    if (result.frame) return result.frame;
    if (result.damaged) {
      damaged = true;
      return std::nullopt;
    }
    // The bytes of a frame come one after the other: one that stops is damaged.
    const bool partial = reader_.partial();
    const std::vector<std::uint8_t> bytes =
        port_.read_some(partial ? std::min(deadline, Clock::now() + kByteWait) : deadline);
    if (bytes.empty()) {
      if (partial) {
        reader_.clear();
        damaged = true;
      }
      return std::nullopt;
    }
    reader_.add(bytes);
  }
}

void BoardLink::take_info(const Frame& info) {
  const std::span<const std::uint8_t> bytes = info.payload;
  const int version = bytes.empty() ? 0 : bytes[MARQUEE8_INFO_VERSION];
  if (version != MARQUEE8_PROTOCOL_VERSION || bytes.size() < MARQUEE8_INFO_SIZE) {
    throw LinkError("the receiver on " + port_.name() + " speaks version " +
                    std::to_string(version) + " of the marquee8 protocol, this marquee8 version " +
                    std::to_string(MARQUEE8_PROTOCOL_VERSION) +
                    ": flash the receiver sketch that comes with this marquee8");
  }
  info_.board = bytes[MARQUEE8_INFO_BOARD];
  info_.capacity = get16(bytes, MARQUEE8_INFO_CAPACITY);
  info_.generic_modules = bytes[MARQUEE8_INFO_MODULE_TYPE] != 0;
  info_.modules = bytes[MARQUEE8_INFO_MODULES];
  info_.columns = get16(bytes, MARQUEE8_INFO_COLUMNS);
  info_.step_ms = get16(bytes, MARQUEE8_INFO_STEP_MS);
  info_.brightness = bytes[MARQUEE8_INFO_BRIGHTNESS];
  info_.crc = get16(bytes, MARQUEE8_INFO_CRC);
}

void BoardLink::wait_for_greeting() {
  const auto opened = Clock::now();
  auto hello = opened + kFirstHello;
  while (Clock::now() < opened + kGreetingWait) {
    bool damaged = false;
    const std::optional<Frame> frame = next_frame(std::min(hello, opened + kGreetingWait), damaged);
    if (frame && frame->type == MARQUEE8_INFO) return take_info(*frame);
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
    damaged = false;
    const auto deadline = Clock::now() + kReplyWait;
    while (!damaged) {
      const std::optional<Frame> answer = next_frame(deadline, damaged);
      if (!answer) break;
      if (answer->type == reply) return *answer;
      if (answer->type != MARQUEE8_ERROR || answer->payload.empty()) continue;
      const int code = answer->payload[0];
      if (code == MARQUEE8_ERROR_FRAME_CRC || code == MARQUEE8_ERROR_FRAME) {
        damaged = true;
      } else {
        throw LinkError("the receiver on " + port_.name() +
                        " refused the message: " + describe_error(code));
      }
    }
    if (damaged) {
      // What is left of a damaged reply must not be read as the next one.
      bool ignored = false;
      while (next_frame(Clock::now() + 20ms, ignored) || ignored) ignored = false;
      reader_.clear();
    }
  }
  if (damaged) {
    throw LinkError("the data to or from " + port_.name() + " kept arriving damaged (" +
                    std::to_string(kTries) + " tries): check the cable");
  }
  throw LinkError("the receiver on " + port_.name() + " stopped answering");
}

void BoardLink::store(const BoardMessage& message, const LinkProgress& progress) {
  const std::vector<std::uint8_t>& columns = message.columns;
  std::vector<std::uint8_t> begin;
  put16(begin, columns.size());
  put16(begin, static_cast<std::size_t>(message.step_ms));
  begin.push_back(static_cast<std::uint8_t>(message.brightness));
  put16(begin, message_crc(columns));
  transact(MARQUEE8_WRITE_BEGIN, begin, MARQUEE8_OK);
  for (std::size_t at = 0; at < columns.size(); at += MARQUEE8_CHUNK_COLUMNS) {
    if (!progress(at, columns.size())) throw LinkError("cancelled");
    const std::size_t count = std::min<std::size_t>(MARQUEE8_CHUNK_COLUMNS, columns.size() - at);
    std::vector<std::uint8_t> chunk;
    put16(chunk, at);
    chunk.insert(chunk.end(), columns.begin() + static_cast<std::ptrdiff_t>(at),
                 columns.begin() + static_cast<std::ptrdiff_t>(at + count));
    transact(MARQUEE8_WRITE_DATA, chunk, MARQUEE8_OK);
  }
  progress(columns.size(), columns.size());
  try {
    take_info(transact(MARQUEE8_WRITE_END, {}, MARQUEE8_INFO));
  } catch (const LinkError&) {
    // A lost answer to WRITE_END is retried, and a board that did store the message then has
    // nothing left to end: whether it did, its INFO says.
    take_info(transact(MARQUEE8_HELLO, {}, MARQUEE8_INFO));
    if (info_.columns != columns.size() || info_.crc != message_crc(columns) ||
        info_.step_ms != message.step_ms || info_.brightness != message.brightness) {
      throw;
    }
  }
}

std::vector<std::uint8_t> BoardLink::read_columns(std::size_t count, const LinkProgress& progress) {
  std::vector<std::uint8_t> columns;
  while (columns.size() < count) {
    if (!progress(columns.size(), count)) throw LinkError("cancelled");
    const std::size_t want = std::min<std::size_t>(MARQUEE8_CHUNK_COLUMNS, count - columns.size());
    std::vector<std::uint8_t> request;
    put16(request, columns.size());
    request.push_back(static_cast<std::uint8_t>(want));
    const Frame data = transact(MARQUEE8_READ, request, MARQUEE8_DATA);
    if (data.payload.size() != 2 + want || get16(data.payload, 0) != columns.size()) {
      throw LinkError("the receiver on " + port_.name() + " sent back other columns than asked");
    }
    columns.insert(columns.end(), data.payload.begin() + 2, data.payload.end());
  }
  progress(count, count);
  return columns;
}

}  // namespace marquee8
