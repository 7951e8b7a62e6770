#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "font_face.h"

namespace marquee8 {

// A colour value: red in the low byte, then green, then blue (0xBBGGRR). Black, 0, is ink.
using Colour = std::int32_t;
inline constexpr Colour kBlack = 0;
inline constexpr Colour kOutside = -1;  // what a read outside the drawable area returns

// The pixel surface the text is drawn on and read back from. Coordinates are pixels, (0, 0)
// at the top-left corner, x to the right and y downwards.
//
// Text is drawn in black and only its glyph strokes are painted; every other pixel keeps its
// colour. The canvas is at most 32 rows high, so each column is kept as a 32-bit mask of its
// black rows: a million characters take 24 MB, not the 500 MB an RGB bitmap would.
class GlyphCanvas {
 public:
  static constexpr int kDefaultWidth = 669;
  static constexpr int kDefaultHeight = 29;
  static constexpr int kMaxHeight = 32;
  static constexpr Colour kBackground = 0xF0F0F0;

  explicit GlyphCanvas(FontFace font = FontFace::builtin(), int width = kDefaultWidth,
                       int height = kDefaultHeight);

  int width() const { return width_; }
  int height() const { return height_; }

  // Keeps the pixels that lie inside both sizes; new pixels are background.
  // Throws std::length_error for a negative size or a height over kMaxHeight.
  void resize(int width, int height);
  void clear();

  void set_font_size(double points);  // throws FontError if the font has no such size
  void set_position(int x, int y);    // where the next line's character cell has its top-left

  // Draws one line in black; a character outside the BMP (a surrogate pair) is one glyph.
  void draw_text(std::u16string_view text);

  Colour pixel(int x, int y) const;             // kOutside off the drawable area
  void set_pixel(int x, int y, Colour colour);  // ignored off the drawable area

  // Bit y is set when pixel (x, y) is exactly black; 0 off the drawable area.
  std::uint32_t black_rows(int x) const;

 private:
  // A cached glyph: one mask per bitmap column, bit r = bitmap row r.
  struct GlyphColumns {
    int left = 0;
    int top = 0;
    int advance = 0;
    std::vector<std::uint64_t> masks;
  };

  const GlyphColumns& glyph(char32_t code_point);
  const GlyphColumns& rendered(unsigned glyph_index);
  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  void paint_black(int x, std::uint32_t rows);

  FontFace font_;
  int width_ = 0;
  int height_ = 0;
  int x_ = 0;
  int y_ = 0;
  std::vector<std::uint32_t> black_;              // one mask per column
  std::map<std::pair<int, int>, Colour> tinted_;  // the few pixels neither black nor background
  // For the current font size. Keyed by glyph, not character, so that text in scripts the font
  // lacks cannot grow the cache: every such character shares the replacement glyph.
  std::unordered_map<unsigned, GlyphColumns> glyphs_;
  std::array<const GlyphColumns*, 128> ascii_{};  // the common case, without any look-up
};

}  // namespace marquee8
