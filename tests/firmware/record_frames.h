#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "max7219_chain.h"

namespace marquee8::testing {

// Four modules: a 32×8 display.
inline constexpr int kModules = 4;

struct Recording {
  std::vector<Frame> frames;  // every picture that stayed up for the settle time, in order
  std::string fault;          // why the recording stopped early; empty if `enough` stopped it
  double simulated_seconds = 0;
};

// Runs `firmware` on a simulated Uno wired to a chain of `kModules` MAX7219 modules of `type`
// (DIN to MOSI D11, CLK to SCK D13, CS to D10) and records the pictures it shows, until
// `enough` says so or a fault: a protocol fault, a picture shown with the chain set up wrong,
// or no picture for a simulated second.
Recording record_frames(const std::filesystem::path& firmware, ModuleType type,
                        const std::function<bool(const std::vector<Frame>&)>& enough);

}  // namespace marquee8::testing
