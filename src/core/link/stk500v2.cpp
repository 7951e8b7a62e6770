// STK500 version 2 as the Mega 2560's bootloader speaks it: MESSAGE_START, a sequence number,
// the body's size, TOKEN, the body and an XOR checksum; each answer repeats the sequence number
// and the command, then a status.
#include <algorithm>

#include "bootloader_client.h"
#include "link_error.h"

namespace marquee8 {
namespace {

constexpr std::uint8_t kMessageStart = 0x1B, kToken = 0x0E, kStatusOk = 0x00;
constexpr std::uint8_t kSignOn = 0x01, kLoadAddress = 0x06, kEnterProgmode = 0x10,
                       kLeaveProgmode = 0x11, kProgramFlash = 0x13, kReadFlash = 0x14,
                       kReadSignature = 0x1B;

class Stk500v2 : public BootloaderProtocol {
 public:
  std::vector<std::uint8_t> encode(const BootloaderRequest& request) override {
    const std::vector<std::uint8_t> body = body_of(request);
    ++sequence_;
    // Sized once and filled: GCC 12 at -O2 takes an insert after five bytes for a copy out of
    // bounds.
    std::vector<std::uint8_t> message(5 + body.size());
    message[0] = kMessageStart;
    message[1] = sequence_;
    message[2] = static_cast<std::uint8_t>(body.size() >> 8);
    message[3] = static_cast<std::uint8_t>(body.size());
    message[4] = kToken;
    std::copy(body.begin(), body.end(), message.begin() + 5);
    std::uint8_t checksum = 0;
    for (const std::uint8_t byte : message) checksum ^= byte;
    message.push_back(checksum);
    return message;
  }

  std::optional<std::vector<std::uint8_t>> decode(const BootloaderRequest& request,
                                                  std::vector<std::uint8_t>& received) override {
    for (;;) {
      const auto start = std::find(received.begin(), received.end(), kMessageStart);
      received.erase(received.begin(), start);
      if (received.size() < 5) return std::nullopt;
      const std::size_t size = received[2] << 8 | received[3];
      if (received[4] != kToken || size == 0) {
        received.erase(received.begin());  // not a message: look further
        continue;
      }
      if (received.size() < size + 6) return std::nullopt;
      std::uint8_t checksum = 0;
      for (std::size_t i = 0; i < size + 6; ++i) checksum ^= received[i];
      const std::vector<std::uint8_t> body(
          received.begin() + 5, received.begin() + 5 + static_cast<std::ptrdiff_t>(size));
      const bool mine = checksum == 0 && received[1] == sequence_;
      received.erase(received.begin(), received.begin() + static_cast<std::ptrdiff_t>(size) + 6);
      // An answer to an earlier ask (while syncing) or a damaged one: not this request's.
      if (!mine) continue;
      if (body.size() < 2 || body[1] != kStatusOk) throw LinkError("refused");
      return data_of(request, body);
    }
  }

  std::size_t signature_requests() const override { return 3; }

 private:
  static std::vector<std::uint8_t> body_of(const BootloaderRequest& request) {
    using Kind = BootloaderRequest::Kind;
    const auto high = static_cast<std::uint8_t>(request.length >> 8);
    const auto low = static_cast<std::uint8_t>(request.length);
    switch (request.kind) {
      case Kind::kSync:
        return {kSignOn};
      case Kind::kSignature:
        return {kReadSignature, 0x04, 0x30, 0x00, static_cast<std::uint8_t>(request.address), 0x00};
      case Kind::kEnterProgramming:
        // The ISP timings a programmer needs; the bootloader takes them and ignores them.
        return {kEnterProgmode, 0xC8, 0x64, 0x19, 0x20, 0x00, 0x53, 0x03, 0xAC, 0x53, 0x00, 0x00};
      case Kind::kLoadAddress: {
        // A word address; bit 31 asks for the extended address a flash over 128 KB needs.
        const std::size_t word = request.address / 2;
        return {kLoadAddress, static_cast<std::uint8_t>(0x80 | word >> 24),
                static_cast<std::uint8_t>(word >> 16), static_cast<std::uint8_t>(word >> 8),
                static_cast<std::uint8_t>(word)};
      }
      case Kind::kWritePage: {
        std::vector<std::uint8_t> body = {kProgramFlash, high, low,  0xC1, 0x0A,
                                          0x40,          0x4C, 0x20, 0x00, 0x00};
        body.insert(body.end(), request.data.begin(), request.data.end());
        return body;
      }
      case Kind::kReadPage:
        return {kReadFlash, high, low, 0x20};
      case Kind::kLeave:
        break;
    }
    return {kLeaveProgmode, 0x01, 0x01};
  }

  static std::vector<std::uint8_t> data_of(const BootloaderRequest& request,
                                           const std::vector<std::uint8_t>& body) {
    using Kind = BootloaderRequest::Kind;
    if (request.kind == Kind::kSignature && body.size() >= 3) return {body[2]};
    if (request.kind == Kind::kReadPage && body.size() >= 2 + request.length) {
      return {body.begin() + 2, body.begin() + 2 + static_cast<std::ptrdiff_t>(request.length)};
    }
    return {};
  }

  std::uint8_t sequence_ = 0;
};

}  // namespace

std::unique_ptr<BootloaderProtocol> stk500v2() { return std::make_unique<Stk500v2>(); }

}  // namespace marquee8
