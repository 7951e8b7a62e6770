// A board as it leaves the factory, with nothing but its genuine bootloader, on a simulated chip
// that keeps to real time, resets when its port is opened as an Uno's DTR resets it, and keeps
// its flash across resets; its serial port is a pseudo-terminal whose path it prints. Runs until
// killed, for the page's Set up a board to install the receiver on.
//
//   board_sim uno|nano|nano-old|mega
#include <exception>
#include <iostream>

#include "bootloaders.h"

int main(int argc, char** argv) {
  using namespace marquee8;
  const std::optional<BoardModel> model = argc == 2 ? board_model_named(argv[1]) : std::nullopt;
  if (!model) {
    std::cerr << "usage: board_sim uno|nano|nano-old|mega\n";
    return 2;
  }
  try {
    testing::SimulatedBoard board(testing::bootloader_of(*model), testing::chip_of(*model));
    std::cout << board.open_serial_port() << std::endl;
    for (;;) board.run_until(board.simulated_seconds() + 0.002);
  } catch (const std::exception& error) {
    std::cerr << "board_sim: " << error.what() << '\n';
    return 1;
  }
}
