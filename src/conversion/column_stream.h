#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "glyph_cache.h"
#include "utf8_line.h"

namespace marquee8 {

// Takes a run's columns in order, a block at a time: the ink rows of each column (bit y = row
// y of the canvas), final once handed on.
class ColumnConsumer {
 public:
  virtual void take(std::size_t first_x, std::span<const std::uint32_t> columns) = 0;

 protected:
  ~ColumnConsumer() = default;
};

// Draws `text` as one line, glyph after glyph, the line's character cell at (0, 0) of a canvas
// `height` rows high, and hands on columns 0 to column_count - 1 as soon as no later glyph can
// reach them. Memory stays a few blocks of columns whatever the text's length, and glyphs that
// reach past their own columns (left or right) are drawn whole. A surrogate pair is one glyph,
// a lone surrogate the replacement glyph.
void draw_columns(std::u16string_view text, GlyphCache& glyphs, int height,
                  std::size_t column_count, ColumnConsumer& consumer);
void draw_columns(const Utf8Line& text, GlyphCache& glyphs, int height, std::size_t column_count,
                  ColumnConsumer& consumer);

}  // namespace marquee8
