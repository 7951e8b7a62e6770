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

// The value of column x: bit y-1 for each row y from kFirstRow to kLastRow that is black.
//
//   row 1  . # # # .          column 0 1 2 3 4
//   row 2  # . . . #                 | | | | |
//   ...                       value  ...
//   row 8  . . . . .          row 1 is bit 0 (1), row 8 is bit 7 (128)
std::uint8_t column_value(const GlyphCanvas& canvas, int x);

// Number of columns sampled for a text of `length` UTF-16 code units: 6 per unit and one more.
std::size_t sampled_columns(std::size_t length);

// Clears the canvas, widens it to hold every sampled column, draws `text` at 8 points with its
// character cell at (0, 0) and returns the values of columns 0 to 6 * text.size().
// Throws std::length_error for a text too long to draw, FontError if the font fails.
std::vector<std::uint8_t> draw_and_sample(std::u16string_view text, GlyphCanvas& canvas);

// The whole conversion: the array text for `text`, drawn on `canvas`.
std::string start_command(std::u16string_view text, GlyphCanvas& canvas);

}  // namespace marquee8
