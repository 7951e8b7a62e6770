#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace marquee8 {

// Writes the two C declarations the marquee firmware pastes in:
//
//   byte a[]={0,0,0,0,0,0,0,0, v0, v1, ..., vLast};<CR><LF>int slen= L;
//
// Eight zeros lead in (written without a space), then every column value as a space and its
// digits. L is the index of the array's last element: 8 + column_values.size() - 1. There is
// no line break after the second line.
//
// Example: one character whose columns read 0, 126, 129, 129, 126, 0, 0 gives
//   byte a[]={0,0,0,0,0,0,0,0, 0, 126, 129, 129, 126, 0, 0};
//   int slen= 14;
//
// `column_values` must not be empty: the last value closes the array.
std::string array_text(std::span<const std::uint8_t> column_values);

}  // namespace marquee8
