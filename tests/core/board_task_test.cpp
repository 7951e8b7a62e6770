// A send and a read-back as every front end words them, on a scripted line: what the board
// keeps and what the user is told when the line fails at each stage.
#include "board_task.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "scripted_line.h"

namespace marquee8 {
namespace {

using ::testing::HasSubstr;

const std::vector<std::uint8_t> kOld(3, 0x2A);
const std::vector<std::uint8_t> kNew(130, 0x5C);

// Nothing comes back for every frame of `type` from the `from`-th on.
Trouble silent_from(std::uint8_t type, int from) {
  return [=](const Frame& sent, int n,
             const std::vector<std::uint8_t>&) -> std::optional<std::vector<std::uint8_t>> {
    if (sent.type == type && n >= from) return std::vector<std::uint8_t>{};
    return std::nullopt;
  };
}

struct TaskCase {
  const char* name;
  BoardTask::Kind kind;
  std::vector<std::uint8_t> message;  // sent, or stored before a read
  Trouble trouble;
  std::string told;  // the summary, the failure, or "" for a read that ends well
  std::vector<std::uint8_t> stored_after;
};
void PrintTo(const TaskCase& row, std::ostream* out) { *out << row.name; }

class Task : public ::testing::TestWithParam<TaskCase> {};

TEST_P(Task, TellsAndLeavesTheBoardAsTheLineAllows) {
  const TaskCase& row = GetParam();
  Line line;
  line.board.stored = row.kind == BoardTask::Kind::kSend ? kOld : row.message;
  line.trouble = row.trouble;
  BoardTask task(row.kind, kPort, {row.kind == BoardTask::Kind::kSend ? row.message : kOld, 40, 2},
                 line.now, "Read back");
  std::string told;
  try {
    line.drive(task);
    if (row.kind == BoardTask::Kind::kSend) {
      told = task.summary();
    } else {
      EXPECT_EQ(task.received(), row.message);
    }
    EXPECT_EQ(task.done(), task.total());
  } catch (const LinkError& error) {
    told = error.what();
  }
  EXPECT_THAT(told, HasSubstr(row.told));
  EXPECT_EQ(line.board.stored, row.stored_after);
}

using enum BoardTask::Kind;
INSTANTIATE_TEST_SUITE_P(
    Lines, Task,
    ::testing::Values(
        TaskCase{"a_send_is_stored_and_verified",
                 kSend,
                 kNew,
                 {},
                 "sent 130 columns to /dev/ttyTEST",
                 kNew},
        TaskCase{"a_message_over_the_capacity_is_refused_before_it_is_written", kSend,
                 std::vector<std::uint8_t>(501, 1), silent_from(MARQUEE8_WRITE_BEGIN, 0),
                 "holds at most 500: nothing was sent", kOld},
        TaskCase{"a_line_lost_while_writing_keeps_the_old_message", kSend, kNew,
                 silent_from(MARQUEE8_WRITE_DATA, 1),
                 "stopped answering; the board keeps its previous message", kOld},
        TaskCase{"a_line_lost_after_the_store_says_read_back_tells", kSend, kNew,
                 [](const Frame& sent, int n,
                    const std::vector<std::uint8_t>&) -> std::optional<std::vector<std::uint8_t>> {
                   const bool lost =
                       sent.type == MARQUEE8_WRITE_END || (sent.type == MARQUEE8_HELLO && n > 0);
                   return lost ? std::optional(std::vector<std::uint8_t>{}) : std::nullopt;
                 },
                 "the board may show the new message; Read back tells", kNew},
        TaskCase{"a_read_gives_the_stored_message", kReceive, kNew, {}, "", kNew},
        TaskCase{"a_read_of_a_board_that_stores_nothing_says_so",
                 kReceive,
                 {},
                 {},
                 "the receiver on /dev/ttyTEST stores no message yet",
                 {}}),
    [](const auto& info) { return std::string(info.param.name); });

// A BoardTask watched at every step: whether a Cancel was offered once the board held the new
// message, and whether one was offered at all while it kept the old.
struct Watched {
  BoardTask& task;
  const Receiver& board;
  bool offered_while_old = false;
  bool offered_once_new = false;

  LinkStep advance(std::span<const std::uint8_t> arrived, Clock::time_point now) {
    LinkStep step = task.advance(arrived, now);
    if (task.cancellable()) (board.stored == kOld ? offered_while_old : offered_once_new) = true;
    return step;
  }
};

TEST(Task, OffersCancelOnlyWhileTheBoardKeepsItsOldMessage) {
  Line line;
  line.board.stored = kOld;
  BoardTask task(BoardTask::Kind::kSend, kPort, {kNew, 40, 2}, line.now, "Read back");
  Watched watched{task, line.board};
  line.drive(watched);
  EXPECT_TRUE(watched.offered_while_old);
  EXPECT_FALSE(watched.offered_once_new);
}

}  // namespace
}  // namespace marquee8
