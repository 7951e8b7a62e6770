#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "glyph_canvas.h"

namespace marquee8 {

inline constexpr double kFontPoints = 8;
inline constexpr int kCharacterAdvance = 6;  // columns reserved per UTF-16 code unit
inline constexpr int kFirstRow = 1;          // row 0 and rows below kLastRow are never sampled
inline constexpr int kLastRow = 8;

// The value of column x: bit y-1 is set when the pixel in row y (kFirstRow to kLastRow) is
// exactly black. "1" drawn at (0, 0) samples as
//
//   row 1 = bit 0   . . # . . . .
//   row 2 = bit 1   . # # . . . .
//   row 3 = bit 2   # . # . . . .
//   row 4 = bit 3   . . # . . . .
//   row 5 = bit 4   . . # . . . .
//   row 6 = bit 5   . . # . . . .
//   row 7 = bit 6   # # # # # . .
//   row 8 = bit 7   . . . . . . .
//   value          68 66 127 64 64 0 0
std::uint8_t column_value(const GlyphCanvas& canvas, int x);

// Clears the canvas, widens it to hold every sampled column, draws `text` at 8 points with its
// character cell at (0, 0) and returns the values of columns 0 to 6 * text.size().
// Throws std::length_error for a text too long to draw, FontError if the font fails.
std::vector<std::uint8_t> draw_and_sample(std::u16string_view text, GlyphCanvas& canvas);

// The whole conversion: the array text for `text`, drawn on `canvas`.
std::string start_command(std::u16string_view text, GlyphCanvas& canvas);

}  // namespace marquee8
