#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "bootloader_boards.h"
#include "link_step.h"

namespace marquee8 {

// One request to a bootloader, in the terms both STK500 versions share.
struct BootloaderRequest {
  enum class Kind {
    kSync,
    kSignature,
    kEnterProgramming,
    kLoadAddress,
    kWritePage,
    kReadPage,
    kLeave
  };
  Kind kind;
  std::size_t address = 0;             // a byte address; for kSignature, which byte
  std::span<const std::uint8_t> data;  // kWritePage's bytes
  std::size_t length = 0;              // kReadPage's
};

// How one version of the STK500 protocol writes a request and reads its answer.
class BootloaderProtocol {
 public:
  virtual ~BootloaderProtocol() = default;
  virtual std::vector<std::uint8_t> encode(const BootloaderRequest& request) = 0;
  // The answer's data once `received` holds all of it (taken out of `received`); nothing
  // while it is incomplete. Throws LinkError for an answer that says the request failed.
  virtual std::optional<std::vector<std::uint8_t>> decode(const BootloaderRequest& request,
                                                          std::vector<std::uint8_t>& received) = 0;
  // How many kSignature requests read the chip's three signature bytes.
  virtual std::size_t signature_requests() const = 0;
};

std::unique_ptr<BootloaderProtocol> stk500v1();
std::unique_ptr<BootloaderProtocol> stk500v2();

// Writes a flash image through a board's bootloader and reads it back, doing no I/O: it is
// given the bytes that arrived and the time, and says what to send and when to wake it. The
// port has just been opened, which resets the board into its bootloader; the client asks for
// sync until the bootloader listens, checks the chip's signature, writes the image's pages,
// reads them back and leaves the bootloader, which starts the new sketch. It never touches the
// EEPROM. Every failure throws LinkError in words for the user.
class BootloaderClient {
 public:
  using Clock = std::chrono::steady_clock;

  BootloaderClient(const BootloaderBoard& board, std::string port, std::vector<std::uint8_t> image);

  LinkStep advance(std::span<const std::uint8_t> arrived, Clock::time_point now);
  // Pages written and read back so far, of all there are to write and read.
  std::size_t pages_done() const { return pages_done_; }
  std::size_t pages_in_all() const { return 2 * pages(); }

  // How long a bootloader may take to start listening after the reset, and to answer. A
  // bootloader answers within milliseconds; the rest is for a computer too busy to read its
  // answer at once (avrdude waits 5 s).
  static constexpr auto kListenWithin = std::chrono::seconds(4);
  static constexpr auto kAnswerWithin = std::chrono::seconds(3);

 private:
  enum class Phase { kSyncing, kSettling, kTalking, kDone };
  std::size_t pages() const { return image_.size() / board_.page_size; }
  void plan();
  LinkStep send_next(Clock::time_point now);
  void take(const std::vector<std::uint8_t>& answer);

  const BootloaderBoard& board_;
  std::string port_;
  std::vector<std::uint8_t> image_;
  std::unique_ptr<BootloaderProtocol> protocol_;
  std::vector<BootloaderRequest> requests_;
  std::size_t next_ = 0;
  Phase phase_ = Phase::kSyncing;
  std::vector<std::uint8_t> received_;
  std::vector<std::uint8_t> signature_;
  std::optional<Clock::time_point> started_;
  bool asked_ = false;
  Clock::time_point wake_{};
  std::size_t pages_done_ = 0;
};

}  // namespace marquee8
