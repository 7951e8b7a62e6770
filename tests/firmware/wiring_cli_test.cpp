// --configure and --find-wiring as a user runs them, against the receiver on a simulated board
// whose chain is wired as the row says: afterwards the chain scrolls the waiting text upright,
// also when the wizard's questions go unanswered.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "board_session.h"
#include "receiver_support.h"
#include "record_frames.h"

namespace marquee8::testing {
namespace {

using ::testing::EndsWith;

struct CommandRun {
  std::string name;
  std::string options;  // after the command's PORT
  std::string answers;  // standard input
  ModuleType chain;
  int status;
  std::string last_line;  // {port} for the port
};
void PrintTo(const CommandRun& row, std::ostream* out) { *out << row.name; }

class WiringCommand : public ::testing::TestWithParam<CommandRun> {};

TEST_P(WiringCommand, LeavesTheTextUpright) {
  const CommandRun& row = GetParam();
  SimulatedBoard board(firmware_for(Board::kUno), Board::kUno);
  FrameRecorder recorder(board, row.chain);
  const std::string port = board.open_serial_port();
  const CommandResult ran = run_beside_board(
      board, "printf '" + row.answers + "' | " + MARQUEE8 + " " + row.options + port);
  EXPECT_EQ(ran.status, row.status) << ran.output;
  std::string last_line = row.last_line;
  if (const std::size_t at = last_line.find("{port}"); at != std::string::npos) {
    last_line.replace(at, 6, port);
  }
  EXPECT_THAT(ran.output, EndsWith(last_line));

  const std::vector<unsigned> waiting = message_array("waiting for a message");
  const Recording after =
      recorder.record([](const std::vector<Frame>& frames) { return frames.size() == 30; });
  EXPECT_EQ(after.fault, "");
  EXPECT_TRUE(scrolls(after.frames, waiting));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, WiringCommand,
    ::testing::Values(
        CommandRun{
            "configure_generic", "--wiring=GENERIC --configure=", "", ModuleType::kGeneric, 0,
            "marquee8: the board on {port} is set to GENERIC (DR0CR1RR0), 4 modules, the first "
            "at the right\n"},
        // Picture 3 is DR0CR1RR0's, the first of the row's two the lit module at the right.
        CommandRun{
            "find_generic", "--find-wiring=", "3\\n1\\n", ModuleType::kGeneric, 0,
            "marquee8: the board on {port} is set to GENERIC (DR0CR1RR0), 4 modules, the first "
            "at the right\n"},
        CommandRun{"find_after_a_wrong_answer", "--find-wiring=", "9\\n8\\n2\\n",
                   ModuleType{7, true}, 0,
                   "marquee8: the board on {port} is set to ICSTATION (DR1CR1RR1), 4 modules, the "
                   "first at the left\n"},
        CommandRun{"find_unanswered", "--find-wiring=", "", ModuleType::kFc16, 1,
                   "marquee8: no answer came: the board keeps its wiring as it was\n"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace marquee8::testing
