#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace marquee8 {

// One frame of the board link, as docs/protocol.md describes it.
struct Frame {
  std::uint8_t type = 0;
  std::vector<std::uint8_t> payload;
};

std::uint16_t message_crc(std::span<const std::uint8_t> columns);
std::vector<std::uint8_t> encode_frame(std::uint8_t type, std::span<const std::uint8_t> payload);

// Finds frames in the bytes that come in: skips what cannot start one, and reports a frame
// whose CRC is wrong as damaged rather than dropping it silently.
class FrameReader {
 public:
  struct Result {
    std::optional<Frame> frame;
    bool damaged = false;
  };
  void add(std::span<const std::uint8_t> bytes);
  // The next whole frame, a damaged one, or nothing yet.
  Result next();
  void clear() { pending_.clear(); }
  // Whether a frame has begun and not ended.
  bool partial() const { return !pending_.empty(); }

 private:
  std::vector<std::uint8_t> pending_;
};

}  // namespace marquee8
