// marquee8's own install of the receiver through each genuine bootloader on a simulated board,
// and the words it has for a board that is not listening.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <thread>

#include "bootloaders.h"
#include "install_receiver.h"
#include "intel_hex.h"

namespace marquee8::testing {
namespace {

// Runs the install in-process while the board runs beside it; "" or the failure's words.
std::string install_beside(SimulatedBoard& board, const std::string& port, BoardModel model) {
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
  while (!finished) board.run_until(board.simulated_seconds() + 0.002);
  install.join();
  return failure;
}

std::vector<std::uint8_t> receiver_image(BoardModel model) {
  std::ifstream file(receiver_hex_of(model));
  std::ostringstream text;
  text << file.rdbuf();
  return read_intel_hex(text.str());
}

struct InstallCase {
  const char* name;
  BoardModel model;
};

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
                         ::testing::Values(InstallCase{"NanoOldBootloader", BoardModel::kNanoOld}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(InstallFailure, ABoardWhoseBootloaderNeverAnswersIsNamed) {
  // The receiver alone, no bootloader: opening the port does not reset it into one.
  SimulatedBoard board(RECEIVER_UNO, Board::kUno);
  const std::string port = board.open_serial_port();
  EXPECT_EQ(install_beside(board, port, BoardModel::kUno),
            "no bootloader answered on " + port +
                ": is this an Arduino Uno? press its reset button and try again");
}

}  // namespace
}  // namespace marquee8::testing
