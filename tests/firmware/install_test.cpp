// marquee8's own install of the receiver through each genuine bootloader on a simulated board,
// and the words it has for a board that is not listening.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "board_session.h"
#include "bootloaders.h"
#include "install_receiver.h"
#include "receiver_support.h"
#include "record_frames.h"

namespace marquee8::testing {
namespace {

// Runs the install in-process while the board runs beside it; "" or the failure's words. The
// cable is pulled once the board has received `pull_after` bytes, if given.
std::string install_beside(SimulatedBoard& board, const std::string& port, BoardModel model,
                           std::size_t pull_after = 0) {
  std::atomic<bool> finished = false;
  std::string failure;
  std::thread install([&] {
    try {
      install_receiver(port, model, receiver_hex_of(model), {});
    } catch (const LinkError& error) {
      failure = error.what();
    }
    finished = true;
  });
  while (!finished) {
    board.run_until(board.simulated_seconds() + 0.002);
    if (pull_after != 0 && board.serial_port_open() && board.serial_input().size() >= pull_after) {
      board.pull_cable();
    }
  }
  install.join();
  return failure;
}

struct InstallCase {
  const char* name;
  BoardModel model;
};
void PrintTo(const InstallCase& row, std::ostream* out) { *out << row.name; }

class Install : public ::testing::TestWithParam<InstallCase> {};

TEST_P(Install, WritesTheReceiverOnABlankBoardAndKeepsTheBootloader) {
  const BoardModel model = GetParam().model;
  SimulatedBoard board(bootloader_of(model), chip_of(model));
  const std::vector<std::uint8_t> factory = board.flash();
  const std::string port = board.open_serial_port();
  ASSERT_EQ(install_beside(board, port, model), "");
  const std::vector<std::uint8_t> image = receiver_image(model);
  const std::vector<std::uint8_t> flash = board.flash();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), flash.begin()));
  const std::size_t boot = flash.size() - 512;
  EXPECT_TRUE(std::equal(flash.begin() + static_cast<std::ptrdiff_t>(boot), flash.end(),
                         factory.begin() + static_cast<std::ptrdiff_t>(boot)));
}

INSTANTIATE_TEST_SUITE_P(Bootloaders, Install,
                         ::testing::Values(InstallCase{"Uno", BoardModel::kUno},
                                           InstallCase{"NanoOldBootloader", BoardModel::kNanoOld},
                                           InstallCase{"Mega", BoardModel::kMega}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(InstallFailure, ABoardWhoseBootloaderNeverAnswersIsNamed) {
  // The receiver alone, no bootloader: opening the port does not reset it into one.
  SimulatedBoard board(RECEIVER_UNO, Board::kUno);
  const std::string port = board.open_serial_port();
  EXPECT_EQ(install_beside(board, port, BoardModel::kUno),
            "no bootloader answered on " + port +
                ": is this an Arduino Uno? press its reset button and try again");
}

struct FailureCase {
  const char* name;
  BoardModel board;   // what is plugged in
  BoardModel chosen;  // what the user chose
  std::size_t pull_after;
  const char* before;  // the words before the port's name
  const char* after;   // and after it
};
void PrintTo(const FailureCase& row, std::ostream* out) { *out << row.name; }

// Each failure is told in words, leaves the stored message alone, and the right install after
// it mends the board, which then shows the message it had.
class InstallFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(InstallFailures, AreNamedKeepTheMessageAndAnotherInstallMendsTheBoard) {
  const FailureCase& c = GetParam();
  const std::vector<std::uint8_t>& old = old_message_eeprom(chip_of(c.board));
  SimulatedBoard board(bootloader_of(c.board), chip_of(c.board), &old);
  const std::vector<std::uint8_t> factory = board.flash();
  const std::string port = board.open_serial_port();
  EXPECT_EQ(install_beside(board, port, c.chosen, c.pull_after), c.before + port + c.after);
  EXPECT_EQ(board.flash() == factory, c.pull_after == 0) << "written only if the cable was pulled";
  EXPECT_EQ(board.eeprom(), old);

  // The same port again, or a new one once the cable is back.
  const std::string again = board.serial_port_open() ? port : board.open_serial_port();
  ASSERT_EQ(install_beside(board, again, c.board), "");
  EXPECT_EQ(board.eeprom(), old);
  FrameRecorder recorder(board, ModuleType::kFc16);
  const Recording shown =
      recorder.record([](const std::vector<Frame>& frames) { return frames.size() == 10; });
  EXPECT_TRUE(scrolls(shown.frames, message_array("OLD"))) << shown.fault;
}

INSTANTIATE_TEST_SUITE_P(
    Failures, InstallFailures,
    ::testing::Values(
        FailureCase{"MegaChosenForAnUno", BoardModel::kUno, BoardModel::kMega, 0,
                    "no bootloader answered on ",
                    ": is this an Arduino Mega 2560? press its reset button and try again"},
        FailureCase{"NanoChosenForAnOldNano", BoardModel::kNanoOld, BoardModel::kNano, 0,
                    "no bootloader answered on ",
                    ": is this an Arduino Nano? press its reset button and try again"},
        FailureCase{"CablePulledMidWrite", BoardModel::kUno, BoardModel::kUno, 3'000,
                    "lost the connection to ", " (was the cable pulled?)"}),
    [](const auto& info) { return std::string(info.param.name); });

struct CommandCase {
  const char* name;
  const char* options;  // after --install-receiver=PORT
  int status;
  const char* words;  // the last line, after the port's name
};
void PrintTo(const CommandCase& row, std::ostream* out) { *out << row.name; }

// The command line installs with the HEX installed beside it and says how it went.
class InstallCommand : public ::testing::TestWithParam<CommandCase> {};

TEST_P(InstallCommand, SaysHowItWentAndExits) {
  const CommandCase& c = GetParam();
  SimulatedBoard board(bootloader_of(BoardModel::kUno), Board::kUno);
  const std::vector<std::uint8_t> factory = board.flash();
  const std::string port = board.open_serial_port();
  const CommandResult run = run_beside_board(
      board, std::string(MARQUEE8) + " --install-receiver=" + port + " " + c.options);
  EXPECT_EQ(run.status, c.status) << run.output;
  EXPECT_TRUE(run.output.ends_with(port + c.words)) << run.output;
  EXPECT_EQ(board.flash() != factory, c.status == 0);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, InstallCommand,
    ::testing::Values(
        CommandCase{"UnoByDefault", "", 0, ", written and read back\n"},
        CommandCase{"UnoNamed", "--board=uno", 0, ", written and read back\n"},
        CommandCase{"MegaChosenForAnUno", "--board=mega", 1,
                    ": is this an Arduino Mega 2560? press its reset button and try again\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace marquee8::testing
