// Runs an Uno firmware against a simulated chain of four MAX7219 modules and prints each
// picture it shows as 8 rows of '#' and '.', a blank line after each.
//   max7219_sim [--type=fc16|generic] [--frames=N] FIRMWARE.elf
// Exit status 1 if the firmware drives the chain wrong, 2 on a usage error.
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

#include "record_frames.h"

using namespace marquee8::testing;

int main(int argc, char** argv) {
  ModuleType type = ModuleType::kFc16;
  std::size_t frames = 100;
  std::string firmware;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--type=fc16") {
      type = ModuleType::kFc16;
    } else if (argument == "--type=generic") {
      type = ModuleType::kGeneric;
    } else if (argument.starts_with("--frames=")) {
      frames = std::stoul(std::string(argument.substr(9)));
    } else if (firmware.empty() && !argument.starts_with("-")) {
      firmware = argument;
    } else {
      firmware.clear();
      break;
    }
  }
  if (firmware.empty()) {
    std::cerr << "usage: max7219_sim [--type=fc16|generic] [--frames=N] FIRMWARE.elf\n";
    return 2;
  }

  const auto start = std::chrono::steady_clock::now();
  const Recording recording = record_frames(
      firmware, type, [&](const std::vector<Frame>& shown) { return shown.size() >= frames; });
  const std::chrono::duration<double> host = std::chrono::steady_clock::now() - start;
  for (const Frame& frame : recording.frames) {
    for (const std::string& row : frame) std::cout << row << '\n';
    std::cout << '\n';
  }
  std::cerr << recording.frames.size() << " frames in " << recording.simulated_seconds
            << " s of simulated time, " << host.count() << " s on this machine\n";
  if (!recording.fault.empty()) {
    std::cerr << "fault: " << recording.fault << '\n';
    return 1;
  }
  return 0;
}
