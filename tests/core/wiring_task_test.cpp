// The wiring wizard stepped as the page drives it, on a scripted line: which questions are put,
// what the board keeps after answers, a cancel, no answer, and a board too old to be asked.
#include "wiring_task.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "scripted_line.h"

namespace marquee8 {
namespace {

using ::testing::HasSubstr;

// The task, with a user who answers each question from `answers` as it is put, or cancels
// question `cancel_at`; `asked` lists the questions put.
struct User {
  WiringTask task;
  std::vector<int> answers;
  int cancel_at = 0;
  std::vector<int> asked;

  LinkStep advance(std::span<const std::uint8_t> arrived, Clock::time_point now) {
    LinkStep step = task.advance(arrived, now);
    const std::optional<WiringQuestion>& question = task.question();
    if (question && (asked.empty() || asked.back() != question->number)) {
      asked.push_back(question->number);
      const auto number = static_cast<std::size_t>(question->number);
      if (question->number == cancel_at) {
        task.cancel();
      } else if (number <= answers.size()) {
        task.answer(answers[number - 1]);
      } else {
        return step;  // left unanswered until the task gives up
      }
      step.wake = now;
    }
    return step;
  }
};

struct WizardCase {
  const char* name;
  int version;
  std::optional<int> modules;  // asked for; the board greets with FC16, right, 4
  std::vector<int> answers;
  int cancel_at;
  std::vector<int> asked;
  std::vector<std::uint8_t> kept;  // the board's layout after: wiring, first module, modules
  std::string told;                // the summary, the failure, or "cancelled"
};
void PrintTo(const WizardCase& row, std::ostream* out) { *out << row.name; }

class Wizard : public ::testing::TestWithParam<WizardCase> {};

TEST_P(Wizard, PutsItsQuestionsAndLeavesTheBoardOnTheLayoutItSays) {
  const WizardCase& row = GetParam();
  Line line;
  line.board.version = row.version;
  User user{WiringTask(kPort, row.modules, line.now), row.answers, row.cancel_at, {}};
  std::string told;
  try {
    line.drive(user);
    told = user.task.cancelled() ? "cancelled" : user.task.summary();
    EXPECT_EQ(user.task.done(), user.task.cancelled() ? user.task.done() : user.task.total());
  } catch (const LinkError& error) {
    told = error.what();
  }
  EXPECT_THAT(told, HasSubstr(row.told));
  EXPECT_EQ(user.asked, row.asked);
  EXPECT_EQ(line.board.layout, row.kept);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, Wizard,
    ::testing::Values(
        WizardCase{"two_answers_set_the_wiring_and_the_end",
                   2,
                   std::nullopt,
                   {3, 1},
                   0,
                   {1, 2},
                   {3, 1, 4},
                   "the board on /dev/ttyTEST is set to DR0CR1RR1, 4 modules, the first at the "
                   "left"},
        WizardCase{"a_count_of_one_puts_one_question",
                   2,
                   1,
                   {2},
                   0,
                   {1},
                   {2, 0, 1},
                   "GENERIC (DR0CR1RR0), 1 module"},
        WizardCase{"a_new_count_is_kept_with_the_answers",
                   2,
                   8,
                   {4, 0},
                   0,
                   {1, 2},
                   {4, 0, 8},
                   "FC16 (DR1CR0RR0), 8 modules, the first at the right"},
        WizardCase{"a_cancel_puts_back_the_layout_and_count_it_had",
                   2,
                   8,
                   {6},
                   2,
                   {1, 2},
                   {4, 0, 4},
                   "cancelled"},
        WizardCase{"no_answer_puts_back_the_layout",
                   2,
                   std::nullopt,
                   {},
                   0,
                   {1},
                   {4, 0, 4},
                   WiringWizard::unanswered()},
        WizardCase{"too_many_modules_are_refused",
                   2,
                   17,
                   {},
                   0,
                   {},
                   {4, 0, 4},
                   "drives at most 16 modules, not 17"},
        WizardCase{"an_earlier_receiver_is_told_to_install_again",
                   1,
                   std::nullopt,
                   {},
                   0,
                   {},
                   {4, 0, 4},
                   "is of an earlier version"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace marquee8
