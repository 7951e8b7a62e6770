#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "array_format.h"
#include "byte_sink.h"
#include "output_settings.h"

namespace marquee8 {

// Writes the array of one conversion in the chosen format: the lead-in's blank columns, the
// text's own column values, the lead-out's, and the length, whose value is always the index of
// the array's last element (count - 1) so that loops written for the classic output keep
// working. The classic format, byte for byte what marquee firmware already carries:
//
//   byte a[]={0,0,0,0,0,0,0,0, v0, v1, ..., vLast};<CR><LF>int slen= L;<CR><LF>
//
// Eight zeros lead in (written without a space), then every column value as a space and its
// digits. Example: one character whose columns read 0, 126, 129, 129, 126, 0, 0 gives
//   byte a[]={0,0,0,0,0,0,0,0, 0, 126, 129, 129, 126, 0, 0};
//   int slen= 14;
//
// The other text formats put 16 values on a line and end their lines with LF; raw is the bytes
// alone. With msb_top each value's bits are reversed, so bit 7 is the top row. The values may
// come in any number of pieces; the text goes to `out` in blocks as it grows.
class ArrayWriter {
 public:
  // `column_count` is how many values add() will bring. With settings.art, `art_columns` must
  // hold all of them: the comment that pictures them comes first. Throws std::invalid_argument
  // for an array that would have no element at all.
  ArrayWriter(const OutputSettings& settings, std::size_t column_count, ByteSink& out,
              std::span<const std::uint8_t> art_columns = {});

  // Values as sampled: bit 0 the top row.
  void add(std::span<const std::uint8_t> column_values);
  // Writes the lead-out, closes the array and writes the length line.
  void finish();

 private:
  void add_in_order(std::span<const std::uint8_t> values, bool lead);

  const ArrayFormat& format_;
  ArrayText text_;
  std::vector<std::uint8_t> reversed_;
};

// The whole array of `columns`, values as sampled (bit 0 the top row), with `settings`.
void write_array(const OutputSettings& settings, std::span<const std::uint8_t> columns,
                 ByteSink& out);

}  // namespace marquee8
