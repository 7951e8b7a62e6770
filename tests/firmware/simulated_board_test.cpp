// The simulated board as an instrument: what a pulled cable leaves behind.
#include "simulated_board.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

#include "receiver_support.h"

namespace marquee8::testing {
namespace {

// More than the UART's receive buffer takes at once, so that some wait in the port when it goes.
constexpr std::size_t kBurst = 300;

TEST(SimulatedBoard, APulledCableCarriesNothingMore) {
  SimulatedBoard board(firmware_for(Board::kUno), Board::kUno);
  const std::string port = board.open_serial_port();
  {
    const int fd = ::open(port.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    const std::vector<char> burst(kBurst, 'x');
    ASSERT_EQ(::write(fd, burst.data(), burst.size()), static_cast<ssize_t>(kBurst));
    while (board.serial_input().empty()) board.run_until(board.simulated_seconds() + 0.001);
    ::close(fd);
  }
  board.pull_cable();
  const std::size_t before = board.serial_input().size();
  ASSERT_LT(before, kBurst);
  // The receiver reads what the UART holds; each read that empties it asks the port for more.
  board.run_until(board.simulated_seconds() + 0.5);
  EXPECT_EQ(board.serial_input().size(), before);
}

}  // namespace
}  // namespace marquee8::testing
