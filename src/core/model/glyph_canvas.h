#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace marquee8 {

// The pixel surface a run draws on, as the window shows it: (0, 0) at the top-left corner, x to
// the right and y downwards. A pixel is ink or background, so each column is kept as a mask of
// its ink rows (bit y = row y); the canvas is at most 32 rows high.
class GlyphCanvas {
 public:
  static constexpr int kMaxHeight = 32;

  // Throws std::invalid_argument for a negative size or a height over kMaxHeight.
  explicit GlyphCanvas(int width = 0, int height = 0);

  int width() const { return width_; }
  int height() const { return height_; }

  // Sets columns first_x onwards to `masks`; what lies past the right edge is cut off.
  void paint_columns(std::size_t first_x, std::span<const std::uint32_t> masks);

  // The ink rows of column x; 0 off the drawable area.
  std::uint32_t ink_rows(int x) const {
    return x >= 0 && x < width_ ? columns_[static_cast<std::size_t>(x)] : 0;
  }
  bool inked(int x, int y) const { return y >= 0 && y < height_ && (ink_rows(x) >> y) & 1; }

 private:
  int width_;
  int height_;
  std::vector<std::uint32_t> columns_;
};

}  // namespace marquee8
