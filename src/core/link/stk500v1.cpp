// STK500 version 1 as optiboot and the old Nano's ATmegaBOOT speak it: a command, its
// arguments and CRC_EOP; the answer INSYNC, its data, OK.
#include <algorithm>

#include "bootloader_client.h"
#include "link_error.h"

namespace marquee8 {
namespace {

constexpr std::uint8_t kCrcEop = 0x20, kInSync = 0x14, kOk = 0x10;
constexpr std::uint8_t kGetSync = 0x30, kEnterProgmode = 0x50, kLeaveProgmode = 0x51,
                       kLoadAddress = 0x55, kProgPage = 0x64, kReadPage = 0x74, kReadSign = 0x75;
constexpr std::uint8_t kFlash = 'F';

class Stk500v1 : public BootloaderProtocol {
 public:
  std::vector<std::uint8_t> encode(const BootloaderRequest& request) override {
    using Kind = BootloaderRequest::Kind;
    const auto high = static_cast<std::uint8_t>(request.length >> 8);
    const auto low = static_cast<std::uint8_t>(request.length);
    switch (request.kind) {
      case Kind::kSync:
        return {kGetSync, kCrcEop};
      case Kind::kSignature:
        return {kReadSign, kCrcEop};
      case Kind::kEnterProgramming:
        return {kEnterProgmode, kCrcEop};
      case Kind::kLoadAddress: {
        const std::size_t word = request.address / 2;
        return {kLoadAddress, static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8),
                kCrcEop};
      }
      case Kind::kWritePage: {
        std::vector<std::uint8_t> bytes = {kProgPage, high, low, kFlash};
        bytes.insert(bytes.end(), request.data.begin(), request.data.end());
        bytes.push_back(kCrcEop);
        return bytes;
      }
      case Kind::kReadPage:
        return {kReadPage, high, low, kFlash, kCrcEop};
      case Kind::kLeave:
        break;
    }
    return {kLeaveProgmode, kCrcEop};
  }

  std::optional<std::vector<std::uint8_t>> decode(const BootloaderRequest& request,
                                                  std::vector<std::uint8_t>& received) override {
    using Kind = BootloaderRequest::Kind;
    if (request.kind == Kind::kSync) {
      // Before the bootloader listens the port may carry anything: look for the answer.
      const std::uint8_t answer[] = {kInSync, kOk};
      const auto found = std::search(received.begin(), received.end(), answer, answer + 2);
      if (found == received.end()) return std::nullopt;
      received.erase(received.begin(), found + 2);
      return std::vector<std::uint8_t>{};
    }
    const std::size_t data = request.kind == Kind::kSignature  ? 3
                             : request.kind == Kind::kReadPage ? request.length
                                                               : 0;
    if (received.empty()) return std::nullopt;
    if (received.front() != kInSync) throw LinkError("refused");
    if (received.size() < data + 2) return std::nullopt;
    if (received[data + 1] != kOk) throw LinkError("refused");
    std::vector<std::uint8_t> answer(received.begin() + 1,
                                     received.begin() + 1 + static_cast<std::ptrdiff_t>(data));
    received.erase(received.begin(), received.begin() + static_cast<std::ptrdiff_t>(data) + 2);
    return answer;
  }

  std::size_t signature_requests() const override { return 1; }
};

}  // namespace

std::unique_ptr<BootloaderProtocol> stk500v1() { return std::make_unique<Stk500v1>(); }

}  // namespace marquee8
