#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "output_settings.h"

namespace marquee8 {

// The most an Uno's 2 KB of RAM can spare for an array copied into it.
inline constexpr std::size_t kUnoRamBudget = 1536;
// The flash an Uno or a Nano has for a whole sketch, its data and code: 32 KB less the 512
// bytes of its bootloader. An array past it cannot fit, whatever the sketch.
inline constexpr std::size_t kUnoFlashForSketch = 32256;
// The largest object avr-gcc lets any AVR (Uno, Nano, Mega) have: sizes are 16-bit signed
// there ("size of variable 'a' is too large" past it).
inline constexpr std::size_t kAvrObjectLimit = 32767;

// What the status bar reports of a run.
struct StatusFigures {
  std::size_t columns = 0;             // sampled from the text (or read from an array)
  std::size_t array_bytes = 0;         // the array in all, leads included
  bool too_big_for_uno_ram = false;    // a format copied into RAM, past kUnoRamBudget
  bool too_big_for_uno_flash = false;  // a format an AVR sketch declares, past kUnoFlashForSketch
  bool too_big_for_avr = false;        // the same, past kAvrObjectLimit
};

StatusFigures status_figures(const OutputSettings& settings, std::size_t text_columns);

// The advice the figures call for, one line each, as the status bar and the command line give
// it: past an Uno's flash no format there helps, so only then is PROGMEM not advised.
std::vector<std::string> status_warnings(const StatusFigures& figures);

}  // namespace marquee8
