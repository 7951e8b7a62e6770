#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link_error.h"
#include "link_session.h"
#include "wiring_wizard.h"

namespace marquee8 {

// A question the wizard awaits an answer to: its number (1 or 2), words and pictures.
struct WiringQuestion {
  int number = 1;
  std::string_view text;
  std::vector<LedPicture> pictures;
};

// The wiring wizard on one open port, doing no I/O, for a front end that cannot wait on an
// answer (the page drives it step by step, as LinkSession::advance says): the greeting, the
// module count if one is given and differs, the test pattern and the wizard's questions, then
// the answers' layout. Cancelled, or unanswered while the pattern is on show, it puts the
// board back on the layout it greeted with. Every failure throws LinkError in the user's words.
class WiringTask {
 public:
  using Clock = LinkSession::Clock;

  WiringTask(std::string port, std::optional<int> modules, Clock::time_point opened);

  LinkStep advance(std::span<const std::uint8_t> arrived, Clock::time_point now);

  // The question that awaits an answer, if one does.
  const std::optional<WiringQuestion>& question() const { return question_; }
  // The index of the picture the user picked; taken only while a question awaits.
  void answer(int picture);
  // Taken until the answers' layout is sent; the task then finishes with cancelled().
  void cancel();
  bool cancellable() const { return stage_ != Stage::kConfiguring && stage_ != Stage::kFinished; }
  bool cancelled() const { return cancelled_; }

  // Steps taken of all: the greeting, each pattern and answer, the layout.
  std::size_t done() const { return done_; }
  std::size_t total() const;
  // Once finished well: "the board on PORT is set to FC16 (DR1CR0RR0), 4 modules, ...".
  std::string summary() const;
  const BoardInfo& info() const { return session_.info(); }

 private:
  enum class Stage { kGreeting, kCounting, kShowing, kAsking, kConfiguring, kRestoring, kFinished };
  void next_stage(Clock::time_point now);
  void show_pattern();
  void restore();

  LinkSession session_;
  std::optional<int> modules_;
  Stage stage_ = Stage::kGreeting;
  ModuleLayout before_;
  std::optional<WiringWizard> wizard_;
  std::optional<WiringQuestion> question_;
  Clock::time_point deadline_;
  std::vector<int> answers_;
  std::optional<int> picked_;
  bool cancel_ = false, cancelled_ = false;
  std::size_t done_ = 0;
};

}  // namespace marquee8
