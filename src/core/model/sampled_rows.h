#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace marquee8 {

inline constexpr int kFirstRow = 1;  // row 0 and rows below kLastRow are never sampled
inline constexpr int kLastRow = 8;

// The value of a column whose ink rows are `ink_rows` (bit y = canvas row y): bit y-1 is set
// when row y, from kFirstRow to kLastRow, is ink. "1" drawn at (0, 0) samples as
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
constexpr std::uint8_t column_value(std::uint32_t ink_rows) {
  constexpr std::uint32_t kSampledRows = ((1u << (kLastRow - kFirstRow + 1)) - 1) << kFirstRow;
  return static_cast<std::uint8_t>((ink_rows & kSampledRows) >> kFirstRow);
}

// The value with its bits in the other order: bit 7 to the top row, or back.
constexpr std::uint8_t reversed_bits(std::uint8_t value) {
  std::uint8_t reversed = 0;
  for (int bit = 0; bit < 8; ++bit) {
    reversed = static_cast<std::uint8_t>(reversed | (((value >> bit) & 1) << (7 - bit)));
  }
  return reversed;
}

// One sampled row of `values` as a picture: '#' where bit `bit` is set, '.' where it is clear.
inline void append_row(std::string& picture, std::span<const std::uint8_t> values, int bit) {
  for (const std::uint8_t value : values) picture += (value >> bit) & 1 ? '#' : '.';
}

}  // namespace marquee8
