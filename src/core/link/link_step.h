#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

namespace marquee8 {

// What a protocol that does no I/O (the receiver's, a bootloader's) wants done now: bytes to
// send, then to be called again with what arrives, or at `wake` if nothing does. `finished`
// once the task it was given has ended well.
struct LinkStep {
  std::vector<std::uint8_t> send;
  std::chrono::steady_clock::time_point wake;
  bool finished = false;
};

}  // namespace marquee8
