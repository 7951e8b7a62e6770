#include "wiring_task.h"

#include <chrono>

namespace marquee8 {

WiringTask::WiringTask(std::string port, std::optional<int> modules, Clock::time_point opened)
    : session_(std::move(port), opened), modules_(modules) {}

std::size_t WiringTask::total() const {
  const bool two_questions = wizard_ ? wizard_->asks_end() : modules_.value_or(2) > 1;
  return two_questions ? 6 : 4;
}

void WiringTask::answer(int picture) {
  if (question_ && picture >= 0 && static_cast<std::size_t>(picture) < question_->pictures.size())
    picked_ = picture;
}

void WiringTask::cancel() {
  if (cancellable()) cancel_ = true;
}

LinkStep WiringTask::advance(std::span<const std::uint8_t> arrived, Clock::time_point now) {
  LinkStep step;
  for (;;) {
    if (stage_ == Stage::kFinished) {
      step.finished = true;
      return step;
    }
    if (stage_ == Stage::kGreeting && cancel_) {
      // Nothing was changed yet: there is nothing to put back.
      cancelled_ = true;
      stage_ = Stage::kFinished;
      continue;
    }
    if (stage_ == Stage::kAsking) {
      if (cancel_ || now >= deadline_) {
        restore();
      } else if (picked_) {
        answers_.push_back(*picked_);
        picked_.reset();
        question_.reset();
        ++done_;
        if (answers_.size() == 1 && wizard_->asks_end()) {
          show_pattern();
        } else {
          session_.configure(wizard_->layout(answers_[0], answers_.size() > 1 ? answers_[1] : 0));
          stage_ = Stage::kConfiguring;
        }
      } else {
        step.wake = deadline_;
        return step;
      }
    }
    const LinkStep part = session_.advance(arrived, now);
    arrived = {};
    step.send.insert(step.send.end(), part.send.begin(), part.send.end());
    step.wake = part.wake;
    if (!part.finished) return step;
    next_stage(now);
  }
}

void WiringTask::next_stage(Clock::time_point now) {
  switch (stage_) {
    case Stage::kGreeting: {
      ++done_;
      before_ = session_.info().layout;
      ModuleLayout counted = before_;
      counted.modules = modules_.value_or(before_.modules);
      wizard_.emplace(counted.modules);
      if (counted.modules != before_.modules) {
        session_.configure(counted);
        stage_ = Stage::kCounting;
      } else {
        show_pattern();
      }
      return;
    }
    case Stage::kCounting:
      if (cancel_) return restore();
      return show_pattern();
    case Stage::kShowing:
      if (cancel_) return restore();
      ++done_;
      stage_ = Stage::kAsking;
      deadline_ = now + std::chrono::seconds(WiringWizard::kPatternSeconds);
      if (answers_.empty()) {
        question_ = {1, WiringWizard::kWiringQuestion, wizard_->wiring_pictures()};
      } else {
        question_ = {2, WiringWizard::kEndQuestion, wizard_->end_pictures(answers_[0])};
      }
      return;
    case Stage::kConfiguring:
      done_ = total();
      stage_ = Stage::kFinished;
      return;
    case Stage::kRestoring:
      stage_ = Stage::kFinished;
      cancelled_ = cancel_;
      if (!cancel_) throw LinkError(WiringWizard::unanswered());
      return;
    case Stage::kAsking:
    case Stage::kFinished:
      return;
  }
}

void WiringTask::show_pattern() {
  session_.show_test_pattern(WiringWizard::kPatternSeconds);
  stage_ = Stage::kShowing;
}

// The pattern ends at once, and the board is back on the layout it greeted with.
void WiringTask::restore() {
  question_.reset();
  session_.configure(before_);
  stage_ = Stage::kRestoring;
}

std::string WiringTask::summary() const { return layout_report(session_.port(), info().layout); }

}  // namespace marquee8
