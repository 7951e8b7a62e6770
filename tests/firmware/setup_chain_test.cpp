// A newcomer's whole path on a board that holds nothing but its bootloader, as the command line
// takes it: install the receiver, answer the wiring wizard as the LEDs of the row show it, send
// a text; then the row scrolls the text upright, whatever its wiring and whichever end the
// board's wire enters.
#include <gtest/gtest.h>

#include "board_session.h"
#include "bootloaders.h"
#include "module_wiring.h"
#include "receiver_support.h"
#include "record_frames.h"

namespace marquee8::testing {
namespace {

class FromABlankBoard : public ::testing::TestWithParam<ModuleType> {};

TEST_P(FromABlankBoard, InstallWizardAndSendScrollTheTextUpright) {
  const ModuleType chain = GetParam();
  SimulatedBoard board(bootloader_of(BoardModel::kUno), chip_of(BoardModel::kUno));
  FrameRecorder recorder(board, chain);
  const std::string port = board.open_serial_port();

  const CommandResult installed =
      run_beside_board(board, std::string(MARQUEE8) + " --install-receiver=" + port);
  ASSERT_EQ(installed.status, 0) << installed.output;
  // The wizard's first pictures are the wirings in their order, the second the lit module at
  // the right, then at the left: the answers a user who sees this chain's LEDs gives.
  const std::string answers =
      std::to_string(chain.wiring + 1) + "\\n" + std::to_string(chain.enters_left ? 2 : 1) + "\\n";
  const CommandResult found =
      run_beside_board(board, "printf '" + answers + "' | " + MARQUEE8 + " --find-wiring=" + port);
  ASSERT_EQ(found.status, 0) << found.output;
  const CommandResult sent = run_beside_board(board, send_command(port, "Hi 8"));
  ASSERT_EQ(sent.status, 0) << sent.output;

  const Recording shown =
      recorder.record([](const std::vector<Frame>& frames) { return frames.size() == 30; });
  EXPECT_EQ(shown.fault, "");
  EXPECT_TRUE(scrolls(shown.frames, message_array("Hi 8")));
}

std::vector<ModuleType> every_wiring() {
  std::vector<ModuleType> chains;
  for (int wiring = 0; wiring < kWirings; ++wiring) chains.push_back({wiring, wiring % 3 == 1});
  return chains;
}

INSTANTIATE_TEST_SUITE_P(Chains, FromABlankBoard, ::testing::ValuesIn(every_wiring()),
                         [](const auto& info) {
                           return wiring_name(info.param.wiring) +
                                  (info.param.enters_left ? "_first_left" : "_first_right");
                         });

}  // namespace
}  // namespace marquee8::testing
