#pragma once

#include <cstddef>

#include "output_settings.h"

namespace marquee8 {

// The most an Uno's 2 KB of RAM can spare for an array copied into it.
inline constexpr std::size_t kUnoRamBudget = 1536;

// What the status bar reports of a run.
struct StatusFigures {
  std::size_t columns = 0;           // sampled from the text (or read from an array)
  std::size_t array_bytes = 0;       // the array in all, leads included
  bool too_big_for_uno_ram = false;  // a format copied into RAM, past kUnoRamBudget
};

StatusFigures status_figures(const OutputSettings& settings, std::size_t text_columns);

}  // namespace marquee8
