// The simulated board as an instrument: what a pulled cable leaves behind, and how fast its SPI
// sends.
#include "simulated_board.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
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

// The receiver's display sends at fosc/4: 8 SCK periods of 4 cycles a byte, and a few cycles of
// its own between bytes. simavr alone takes 1,600 cycles.
TEST(SimulatedBoard, AnSpiByteTakesEightClockPeriods) {
  SimulatedBoard board(firmware_for(Board::kUno), Board::kUno);
  std::vector<std::uint64_t> sent;
  board.on_spi_byte([&](std::uint8_t) { sent.push_back(board.cycle()); });
  board.run_until(0.2);
  ASSERT_GT(sent.size(), 64U);
  std::uint64_t shortest = UINT64_MAX;
  for (std::size_t i = 1; i < sent.size(); ++i)
    shortest = std::min(shortest, sent[i] - sent[i - 1]);
  EXPECT_GE(shortest, 32U);
  EXPECT_LE(shortest, 48U);
}

}  // namespace
}  // namespace marquee8::testing
