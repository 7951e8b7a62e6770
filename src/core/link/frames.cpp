#include "frames.h"

#include <algorithm>

#include "marquee8_protocol.h"

namespace marquee8 {
namespace {

std::uint16_t crc_of(std::span<const std::uint8_t> bytes, std::uint16_t crc = MARQUEE8_CRC_START) {
  for (const std::uint8_t byte : bytes) crc = marquee8_crc_add(crc, byte);
  return crc;
}

}  // namespace

std::uint16_t message_crc(std::span<const std::uint8_t> columns) { return crc_of(columns); }

std::vector<std::uint8_t> encode_frame(std::uint8_t type, std::span<const std::uint8_t> payload) {
  // Byte by byte: GCC 12 at -O3 takes an insert after the first three for an overflow.
  std::vector<std::uint8_t> frame;
  frame.reserve(MARQUEE8_FRAME_OVERHEAD + payload.size());
  frame.push_back(MARQUEE8_FRAME_START);
  frame.push_back(type);
  frame.push_back(static_cast<std::uint8_t>(payload.size()));
  for (const std::uint8_t byte : payload) frame.push_back(byte);
  const std::uint16_t crc = crc_of(std::span(frame).subspan(1));
  frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));
  frame.push_back(static_cast<std::uint8_t>(crc >> 8));
  return frame;
}

void FrameReader::add(std::span<const std::uint8_t> bytes) {
  pending_.insert(pending_.end(), bytes.begin(), bytes.end());
}

FrameReader::Result FrameReader::next() {
  const auto start = std::find(pending_.begin(), pending_.end(), MARQUEE8_FRAME_START);
  pending_.erase(pending_.begin(), start);
  if (pending_.size() < 3) return {};
  const std::size_t length = pending_[2];
  if (length > MARQUEE8_MAX_PAYLOAD) {  // not a frame's start after all
    pending_.erase(pending_.begin());
    return {std::nullopt, true};
  }
  const std::size_t size = MARQUEE8_FRAME_OVERHEAD + length;
  if (pending_.size() < size) return {};
  const auto bytes = std::span(pending_).first(size);
  const std::uint16_t crc = static_cast<std::uint16_t>(bytes[size - 2] | bytes[size - 1] << 8);
  Result result;
  if (crc_of(bytes.subspan(1, size - 3)) == crc) {
    result.frame = Frame{bytes[1], {bytes.begin() + 3, bytes.end() - 2}};
  } else {
    result.damaged = true;
  }
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(size));
  return result;
}

}  // namespace marquee8
