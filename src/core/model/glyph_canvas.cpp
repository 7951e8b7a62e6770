#include "glyph_canvas.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace marquee8 {

GlyphCanvas::GlyphCanvas(int width, int height) : width_(width), height_(height) {
  if (width < 0 || height < 0 || height > kMaxHeight) {
    throw std::invalid_argument("a canvas of " + std::to_string(width) + " x " +
                                std::to_string(height) + " pixels is not possible");
  }
  columns_.resize(static_cast<std::size_t>(width));
}

void GlyphCanvas::paint_columns(std::size_t first_x, std::span<const std::uint32_t> masks) {
  if (first_x >= columns_.size()) return;
  const std::size_t count = std::min(masks.size(), columns_.size() - first_x);
  const std::uint32_t rows = height_ >= 32 ? ~0u : (1u << height_) - 1;
  for (std::size_t i = 0; i < count; ++i) columns_[first_x + i] = masks[i] & rows;
}

}  // namespace marquee8
