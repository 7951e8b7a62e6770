#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "font_face.h"

namespace marquee8 {

// A glyph as the drawing loop uses it: one mask per bitmap column, bit r = bitmap row r.
struct GlyphColumns {
  int left = 0;     // columns from the pen to the first mask
  int top = 0;      // rows from the baseline up to bit 0
  int advance = 0;  // columns the pen moves on
  std::vector<std::uint64_t> masks;

  bool blank() const;
  // Where the ink of a glyph that is not blank lies: rows from the baseline up to the topmost
  // ink and down to the lowest (the row just above the baseline counts as 0 down; a descender's
  // first row as 1), and the first and last inked columns counted from the pen.
  int ink_top() const;
  int ink_bottom() const;
  int ink_left() const;
  int ink_right() const;
};

// A size as a font is asked for it: points at 96 dpi (the built-in font's classic 8 points),
// or pixels.
struct FontSize {
  bool in_pixels = false;
  double value = 8;
  bool operator==(const FontSize&) const = default;
};

// The font at one size with every glyph rendered at most once. It lives as long as the
// conversion that owns it, so repeated runs render nothing again.
class GlyphCache {
 public:
  explicit GlyphCache(FontFace font);

  // Renders again only when the size really changes.
  void set_size(FontSize size);
  int ascent() const { return font_.ascent(); }
  const FontFace& font() const { return font_; }

  // The glyph that draws `code_point`; the replacement glyph for one the font lacks.
  const GlyphColumns& glyph(char32_t code_point) {
    if (code_point < ascii_.size() && ascii_[code_point] != nullptr) return *ascii_[code_point];
    return find_or_render(code_point);
  }

  // The furthest left of its pen that any glyph handed out so far starts: 0 or less.
  int reach_left() const { return reach_left_; }

 private:
  const GlyphColumns& find_or_render(char32_t code_point);

  FontFace font_;
  std::optional<FontSize> size_;
  // Keyed by glyph, not character, so that text in scripts the font lacks cannot grow the
  // cache: every such character shares the replacement glyph.
  std::unordered_map<unsigned, GlyphColumns> glyphs_;
  std::array<const GlyphColumns*, 128> ascii_{};  // the common case, without any look-up
  int reach_left_ = 0;
};

}  // namespace marquee8
