#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "byte_sink.h"

namespace marquee8 {

// Writes the two C declarations the marquee firmware pastes in:
//
//   byte a[]={0,0,0,0,0,0,0,0, v0, v1, ..., vLast};<CR><LF>int slen= L;
//
// Eight zeros lead in (written without a space), then every column value as a space and its
// digits. L is the index of the array's last element: 8 + (number of values) - 1. There is no
// line break after the second line.
//
// Example: one character whose columns read 0, 126, 129, 129, 126, 0, 0 gives
//   byte a[]={0,0,0,0,0,0,0,0, 0, 126, 129, 129, 126, 0, 0};
//   int slen= 14;
//
// The values may come in any number of pieces; the text goes to `out` in blocks as it grows.
class ArrayTextWriter {
 public:
  explicit ArrayTextWriter(ByteSink& out);

  void add(std::span<const std::uint8_t> values);
  // Closes the array and writes the length line. Throws std::invalid_argument if no value came:
  // the last value closes the array.
  void finish();

 private:
  void flush();

  ByteSink& out_;
  std::string pending_;
  std::size_t values_ = 0;
};

// The whole array text of `values` at once.
std::string array_text(std::span<const std::uint8_t> values);

}  // namespace marquee8
