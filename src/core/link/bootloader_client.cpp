#include "bootloader_client.h"

#include <algorithm>
#include <cstdio>

#include "link_error.h"

namespace marquee8 {
namespace {

// Opening the port resets the board; an ask sent before the reset is over could reach the
// bootloader cut in two, and optiboot takes a stray byte for a bad command and starts the
// sketch. No bootloader listens this soon (optiboot flashes its LED for 375 ms, the old Nano's
// for 200 ms), so the wait costs nothing.
constexpr auto kResetSettles = std::chrono::milliseconds(100);
// A bootloader busy with its LED keeps the first three bytes it is sent and loses the rest: a
// second ask before the first is answered would leave it one byte of that one, which it takes
// for the start of a command, and the request after the sync breaks it. So one ask at a time,
// the next only once the first must have been lost (optiboot answers a kept one right after
// its LED) and while a bootloader that lost it still listens (optiboot 1 s after its LED).
constexpr auto kSyncEvery = std::chrono::milliseconds(800);
// Once one ask is answered, the answers to earlier ones it kept come within this.
constexpr auto kQuietFor = std::chrono::milliseconds(30);

std::string hex_address(std::size_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%05zX", address);
  return text;
}

}  // namespace

BootloaderClient::BootloaderClient(const BootloaderBoard& board, std::string port,
                                   std::vector<std::uint8_t> image)
    : board_(board),
      port_(std::move(port)),
      image_(std::move(image)),
      protocol_(board.protocol == BootloaderProtocolKind::kStk500v1 ? stk500v1() : stk500v2()) {
  if (image_.empty()) throw LinkError("the receiver's HEX file writes nothing");
  if (image_.size() > board_.application_size) {
    throw LinkError("the receiver's HEX file does not fit the " + std::string(board_.name) +
                    "'s flash beside its bootloader");
  }
  image_.resize((image_.size() + board_.page_size - 1) / board_.page_size * board_.page_size, 0xFF);
  plan();
}

void BootloaderClient::plan() {
  using Kind = BootloaderRequest::Kind;
  for (std::size_t i = 0; i < protocol_->signature_requests(); ++i) {
    requests_.push_back({Kind::kSignature, i, {}, 0});
  }
  requests_.push_back({Kind::kEnterProgramming, 0, {}, 0});
  for (const Kind kind : {Kind::kWritePage, Kind::kReadPage}) {
    for (std::size_t address = 0; address < image_.size(); address += board_.page_size) {
      requests_.push_back({Kind::kLoadAddress, address, {}, 0});
      const std::span<const std::uint8_t> page(image_.data() + address, board_.page_size);
      requests_.push_back({kind, address,
                           kind == Kind::kWritePage ? page : std::span<const std::uint8_t>{},
                           board_.page_size});
    }
  }
  requests_.push_back({Kind::kLeave, 0, {}, 0});
}

LinkStep BootloaderClient::advance(std::span<const std::uint8_t> arrived, Clock::time_point now) {
  if (!started_) started_ = now;
  received_.insert(received_.end(), arrived.begin(), arrived.end());
  const BootloaderRequest sync{BootloaderRequest::Kind::kSync, 0, {}, 0};
  switch (phase_) {
    case Phase::kSyncing:
      if (!asked_) {
        // What comes before the first ask is the old sketch's, or noise of the reset.
        received_.clear();
        if (now < *started_ + kResetSettles) return {{}, *started_ + kResetSettles, false};
        asked_ = true;
        wake_ = now + kSyncEvery;
        return {protocol_->encode(sync), wake_, false};
      }
      if (protocol_->decode(sync, received_)) {
        phase_ = Phase::kSettling;
        received_.clear();
        wake_ = now + kQuietFor;
        return {{}, wake_, false};
      }
      if (now - *started_ > kListenWithin) {
        throw LinkError("no bootloader answered on " + port_ + ": is this an " +
                        std::string(board_.name) + "? press its reset button and try again");
      }
      if (now < wake_) return {{}, wake_, false};
      wake_ = now + kSyncEvery;
      return {protocol_->encode(sync), wake_, false};
    case Phase::kSettling:
      if (!arrived.empty()) {
        received_.clear();
        wake_ = now + kQuietFor;
      }
      if (now < wake_) return {{}, wake_, false};
      phase_ = Phase::kTalking;
      received_.clear();
      return send_next(now);
    case Phase::kTalking: {
      std::optional<std::vector<std::uint8_t>> answer;
      try {
        answer = protocol_->decode(requests_[next_], received_);
      } catch (const LinkError&) {
        throw LinkError("the bootloader on " + port_ + " refused a request: unplug the board, " +
                        "plug it in and install again");
      }
      if (answer) {
        take(*answer);
        ++next_;
        if (next_ == requests_.size()) {
          phase_ = Phase::kDone;
          return {{}, now, true};
        }
        return send_next(now);
      }
      if (now >= wake_) {
        throw LinkError("the bootloader on " + port_ +
                        " stopped answering: unplug the board, plug it in and install again");
      }
      return {{}, wake_, false};
    }
    case Phase::kDone:
      break;
  }
  return {{}, now, true};
}

LinkStep BootloaderClient::send_next(Clock::time_point now) {
  wake_ = now + kAnswerWithin;
  return {protocol_->encode(requests_[next_]), wake_, false};
}

void BootloaderClient::take(const std::vector<std::uint8_t>& answer) {
  const BootloaderRequest& request = requests_[next_];
  using Kind = BootloaderRequest::Kind;
  if (request.kind == Kind::kSignature) {
    signature_.insert(signature_.end(), answer.begin(), answer.end());
    if (signature_.size() == 3 &&
        !std::equal(signature_.begin(), signature_.end(), board_.signature.begin())) {
      const std::array<std::uint8_t, 3> found = {signature_[0], signature_[1], signature_[2]};
      throw LinkError("the board on " + port_ + " has an " +
                      std::string(chip_with_signature(found)) + ", not the " +
                      std::string(board_.name) + "'s " + std::string(board_.chip) +
                      ": choose its board and install again; nothing was written");
    }
  } else if (request.kind == Kind::kWritePage) {
    ++pages_done_;
  } else if (request.kind == Kind::kReadPage) {
    const auto expected = image_.begin() + static_cast<std::ptrdiff_t>(request.address);
    const auto differs = std::mismatch(answer.begin(), answer.end(), expected);
    if (answer.size() != request.length || differs.first != answer.end()) {
      throw LinkError(
          "the flash of the board on " + port_ + " reads back different at " +
          hex_address(request.address + static_cast<std::size_t>(differs.first - answer.begin())) +
          ": install again");
    }
    ++pages_done_;
  }
}

}  // namespace marquee8
