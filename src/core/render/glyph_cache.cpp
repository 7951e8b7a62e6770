#include "glyph_cache.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace marquee8 {

GlyphCache::GlyphCache(FontFace font) : font_(std::move(font)) {}

bool GlyphColumns::blank() const {
  return std::all_of(masks.begin(), masks.end(), [](std::uint64_t mask) { return mask == 0; });
}

int GlyphColumns::ink_top() const {
  std::uint64_t all = 0;
  for (const std::uint64_t mask : masks) all |= mask;
  return top - std::countr_zero(all);
}

int GlyphColumns::ink_bottom() const {
  std::uint64_t all = 0;
  for (const std::uint64_t mask : masks) all |= mask;
  return 63 - std::countl_zero(all) - top + 1;
}

int GlyphColumns::ink_left() const {
  const auto first = std::find_if(masks.begin(), masks.end(), [](auto mask) { return mask != 0; });
  return left + static_cast<int>(first - masks.begin());
}

int GlyphColumns::ink_right() const {
  const auto last = std::find_if(masks.rbegin(), masks.rend(), [](auto mask) { return mask != 0; });
  return left + static_cast<int>(masks.rend() - last) - 1;
}

void GlyphCache::set_size(FontSize size) {
  if (size_ == size) return;
  if (size.in_pixels) {
    font_.set_pixel_size(static_cast<int>(size.value));
  } else {
    font_.set_size(size.value);
  }
  size_ = size;
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
