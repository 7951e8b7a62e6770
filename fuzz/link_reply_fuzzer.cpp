// Reads arbitrary bytes as what a board sends: the frames found, and the replies read from
// them, must be the same however the bytes arrive (all at once or a few at a time); every frame
// found must be one the bytes hold; every reply is taken or refused with a LinkError.
// Build: cmake --preset fuzz && cmake --build --preset fuzz --target link_reply_fuzzer
// Run:   build/fuzz/fuzz/link_reply_fuzzer -max_total_time=60 <scratch copy of fuzz/link_corpus>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "frames.h"
#include "link_error.h"
#include "marquee8_protocol.h"
#include "replies.h"

namespace {

struct Found {
  bool damaged;
  std::uint8_t type;
  std::vector<std::uint8_t> payload;
  bool operator==(const Found&) const = default;
};

// Everything `bytes` holds, given to a reader `piece` bytes at a time.
std::vector<Found> frames_in(std::span<const std::uint8_t> bytes, std::size_t piece) {
  marquee8::FrameReader reader;
  std::vector<Found> found;
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    reader.add(bytes.subspan(at, std::min(piece, bytes.size() - at)));
    for (;;) {
      marquee8::FrameReader::Result result = reader.next();
      if (result.frame) {
        found.push_back({false, result.frame->type, std::move(result.frame->payload)});
      } else if (result.damaged) {
        found.push_back({true, 0, {}});
      } else {
        break;
      }
    }
  }
  return found;
}

void read_reply(const Found& frame) {
  const std::span<const std::uint8_t> payload = frame.payload;
  try {
    const marquee8::BoardInfo info = marquee8::read_info(payload, "port");
    // Taken only at the size its version has: a version-1 board's, or this version's.
    const std::size_t size =
        payload[MARQUEE8_INFO_VERSION] == 1 ? MARQUEE8_INFO_SIZE_V1 : MARQUEE8_INFO_SIZE;
    if (payload.size() != size || info.capacity > 0xFFFF) std::abort();
  } catch (const marquee8::LinkError&) {
  }
  try {
    const std::size_t count = payload.size() < 2 ? 0 : payload.size() - 2;
    const std::size_t offset = payload.size() < 2 ? 0 : payload[0] | payload[1] << 8;
    if (marquee8::read_data(payload, offset, count, "port").size() != count) std::abort();
  } catch (const marquee8::LinkError&) {
  }
  try {
    marquee8::asks_again(payload, "port");
  } catch (const marquee8::LinkError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t piece = data[0] % 16 + 1;
  const std::span<const std::uint8_t> bytes(data + 1, size - 1);
  const std::vector<Found> found = frames_in(bytes, bytes.size() + 1);
  if (frames_in(bytes, piece) != found) std::abort();
  for (const Found& frame : found) {
    if (frame.damaged) continue;
    if (frame.payload.size() > MARQUEE8_MAX_PAYLOAD) std::abort();
    const std::vector<std::uint8_t> encoded = marquee8::encode_frame(frame.type, frame.payload);
    if (std::search(bytes.begin(), bytes.end(), encoded.begin(), encoded.end()) == bytes.end()) {
      std::abort();
    }
    read_reply(frame);
  }
  return 0;
}
