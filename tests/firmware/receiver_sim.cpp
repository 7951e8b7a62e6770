// Runs the receiver sketch on a simulated Uno, paced to real time as a board runs, with its
// serial port as a pseudo-terminal whose path it prints; until killed. A person or a script
// (scripts/make-pictures) can then send to it with marquee8 or the window.
//
//   receiver_sim RECEIVER.elf [--chain=WIRING,left|right,MODULES --leds=FILE]
//
// With --chain, MODULES MAX7219 modules of WIRING (0-7) hang on its SPI pins, the first at the
// left or right end of the row, and the receiver was told it drives MODULES (FC16, first at the
// right, its own default layout) before power-up. What their LEDs show is written to FILE
// ('#'/'.' rows, or a line naming a fault) each time a picture settles, replacing it whole, so
// that a test sees what a person in front of the board would.
#include <chrono>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <thread>

#include "frames.h"
#include "marquee8_protocol.h"
#include "max7219_chain.h"
#include "simulated_board.h"

namespace marquee8::testing {
namespace {

// Long enough for the firmware to finish one picture a latch at a time (record_frames.cpp).
constexpr std::uint32_t kSettleMicroseconds = 5'000;

struct Chain {
  ModuleType type;
  int modules = 0;
  std::string leds;
};

std::optional<Chain> chain_option(int argc, char** argv) {
  if (argc == 2) return std::nullopt;
  const std::string chain = argc == 4 ? argv[2] : "", leds = argc == 4 ? argv[3] : "";
  int wiring = 0, modules = 0;
  char end[6] = {};
  if (chain.rfind("--chain=", 0) != 0 || leds.rfind("--leds=", 0) != 0 ||
      std::sscanf(chain.c_str() + 8, "%d,%5[a-z],%d", &wiring, end, &modules) != 3 || wiring < 0 ||
      wiring > 7 || modules < 1 || modules > 16 ||
      (std::string(end) != "left" && std::string(end) != "right")) {
    throw std::invalid_argument(
        "usage: receiver_sim RECEIVER.elf [--chain=WIRING,left|right,MODULES --leds=FILE]");
  }
  return Chain{{wiring, std::string(end) == "left"}, modules, leds.substr(7)};
}

// The EEPROM of a receiver told, on a board of its own, that it drives `modules`.
std::vector<std::uint8_t> counted_eeprom(const char* firmware, int modules) {
  SimulatedBoard board(firmware);
  const std::vector<std::uint8_t> frame =
      encode_frame(MARQUEE8_CONFIGURE,
                   std::vector<std::uint8_t>{MARQUEE8_WIRING_FC16, MARQUEE8_FIRST_MODULE_RIGHT,
                                             static_cast<std::uint8_t>(modules)});
  std::vector<SerialInput> input;
  std::uint64_t cycle = 3'200'000;  // 0.2 s, after its greeting
  for (const std::uint8_t byte : frame) input.push_back({cycle += 16'000'000 / 11'520, byte});
  board.replay_serial_input(input);
  board.run_until(0.4);
  return board.eeprom();
}

void write_leds(const Max7219Chain& chain, const std::string& path) {
  {
    std::ofstream out(path + ".new");
    if (const std::string fault = chain.fault(); !fault.empty()) {
      out << "fault: " << fault << '\n';
    } else {
      for (const std::string& row : chain.frame()) out << row << '\n';
    }
  }
  std::rename((path + ".new").c_str(), path.c_str());
}

int run(int argc, char** argv) {
  const std::optional<Chain> chain = chain_option(argc, argv);
  const std::vector<std::uint8_t> eeprom =
      chain ? counted_eeprom(argv[1], chain->modules) : std::vector<std::uint8_t>{};
  SimulatedBoard board(argv[1], Board::kUno, chain ? &eeprom : nullptr);
  std::optional<Max7219Chain> leds;
  bool cs_high = true;
  if (chain) {
    leds.emplace(chain->modules, chain->type);
    board.on_spi_byte([&](std::uint8_t byte) { leds->shift(byte); });
    board.on_chip_select([&](bool high) {
      if (high && !cs_high) {
        leds->latch();
        board.set_alarm(kSettleMicroseconds, [&] { write_leds(*leds, chain->leds); });
      }
      cs_high = high;
    });
  }
  std::cout << board.open_serial_port() << std::endl;
  const auto start = std::chrono::steady_clock::now();
  for (;;) {
    board.run_until(board.simulated_seconds() + 0.002);
    std::this_thread::sleep_until(start + std::chrono::duration<double>(board.simulated_seconds()));
  }
}

}  // namespace
}  // namespace marquee8::testing

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: receiver_sim RECEIVER.elf [--chain=WIRING,left|right,MODULES "
                 "--leds=FILE]\n";
    return 2;
  }
  try {
    return marquee8::testing::run(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << "receiver_sim: " << error.what() << '\n';
    return 1;
  }
}
