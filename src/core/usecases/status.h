#pragma once

#include <cstddef>

#include "output_settings.h"

namespace marquee8 {

// The most an Uno's 2 KB of RAM can spare for an array copied into it.
inline constexpr std::size_t kUnoRamBudget = 1536;

// What a front end reports after a run.
struct StatusFigures {
  std::size_t text_columns = 0;  // sampled from the text, or read back
  std::size_t array_bytes = 0;   // the array in all, leads included
  bool too_big_for_uno_ram = false;
};

StatusFigures status_figures(std::size_t text_columns, std::size_t array_bytes,
                             OutputFormat format);

}  // namespace marquee8
