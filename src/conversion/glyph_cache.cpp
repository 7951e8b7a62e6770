#include "glyph_cache.h"

#include <algorithm>
#include <utility>

namespace marquee8 {

GlyphCache::GlyphCache(FontFace font) : font_(std::move(font)) {}

void GlyphCache::set_size(double points) {
  if (points_ == points) return;
  font_.set_size(points);
  points_ = points;
  glyphs_.clear();
  ascii_.fill(nullptr);
  reach_left_ = 0;
}

const GlyphColumns& GlyphCache::find_or_render(char32_t code_point) {
  const unsigned index = font_.glyph_index(code_point);
  auto found = glyphs_.find(index);
  if (found == glyphs_.end()) {
    const Glyph glyph = font_.render(index);
    GlyphColumns columns{glyph.left, glyph.top, glyph.advance,
                         std::vector<std::uint64_t>(static_cast<std::size_t>(glyph.width))};
    // Rows past the 64th could never reach a canvas of at most 32 rows drawn at the cell top.
    for (int column = 0; column < glyph.width; ++column) {
      for (int row = 0; row < glyph.rows && row < 64; ++row) {
        if (glyph.inked(column, row)) columns.masks[column] |= std::uint64_t{1} << row;
      }
    }
    reach_left_ = std::min(reach_left_, columns.left);
    found = glyphs_.emplace(index, std::move(columns)).first;
  }
  if (code_point < ascii_.size()) ascii_[code_point] = &found->second;
  return found->second;
}

}  // namespace marquee8
