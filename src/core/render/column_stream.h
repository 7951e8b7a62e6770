#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "font_warnings.h"
#include "glyph_cache.h"
#include "text_limits.h"
#include "utf8_line.h"

namespace marquee8 {

// Takes a run's columns in order: first how many there will be, then a block at a time the ink
// rows of each column (bit y = row y of the canvas), final once handed on.
class ColumnConsumer {
 public:
  virtual void begin(std::size_t column_count) = 0;
  virtual void take(std::size_t first_x, std::span<const std::uint32_t> columns) = 0;

 protected:
  ~ColumnConsumer() = default;
};

// How a line is laid out on the canvas.
struct LineLayout {
  int baseline = 8;          // the canvas row the glyphs stand on (the one just above it)
  bool cell_spacing = true;  // 6 columns per character; otherwise the glyphs' own advances
  int first_sampled_row = 1;
  int last_sampled_row = 8;
};

// Draws `text` as one line, glyph after glyph from column 0, and hands on its columns as soon
// as no later glyph can reach them: 6 per UTF-16 code unit and one more with cell spacing, up
// to the pen's final position and one more otherwise. Memory stays a few blocks of columns
// whatever the text's length, and glyphs that reach past their own columns (left or right) are
// drawn whole. A surrogate pair is one glyph, a lone surrogate the replacement glyph. Every
// glyph is rendered before the first column is handed on, so a font that fails, fails first;
// `warnings`, when given, receives what the font did not draw as it should.
void draw_columns(std::u16string_view text, GlyphCache& glyphs, const LineLayout& layout,
                  ColumnConsumer& consumer, FontWarnings* warnings = nullptr);
void draw_columns(const Utf8Line& text, GlyphCache& glyphs, const LineLayout& layout,
                  ColumnConsumer& consumer, FontWarnings* warnings = nullptr);

}  // namespace marquee8
