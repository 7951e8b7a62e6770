// Runs the receiver sketch on a simulated Uno, paced to real time as a board runs, with its
// serial port as a pseudo-terminal whose path it prints; until killed. A person or a script
// (scripts/make-pictures) can then send to it with marquee8 or the window.
//
//   receiver_sim RECEIVER.elf
#include <chrono>
#include <exception>
#include <iostream>
#include <thread>

#include "simulated_board.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: receiver_sim RECEIVER.elf\n";
    return 2;
  }
  try {
    marquee8::testing::SimulatedBoard board(argv[1]);
    std::cout << board.open_serial_port() << std::endl;
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
      board.run_until(board.simulated_seconds() + 0.002);
      std::this_thread::sleep_until(start +
                                    std::chrono::duration<double>(board.simulated_seconds()));
    }
  } catch (const std::exception& error) {
    std::cerr << "receiver_sim: " << error.what() << '\n';
    return 1;
  }
}
