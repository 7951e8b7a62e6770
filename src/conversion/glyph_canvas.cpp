#include "glyph_canvas.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace marquee8 {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

bool is_high_surrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Decodes the code point at `text[i]` and moves `i` past it. A lone surrogate cannot be drawn
// as anything but the replacement glyph.
char32_t next_code_point(std::u16string_view text, std::size_t& i) {
  const char16_t unit = text[i++];
  if (is_high_surrogate(unit) && i < text.size() && is_low_surrogate(text[i])) {
    const char16_t low = text[i++];
    return 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00);
  }
  if (is_high_surrogate(unit) || is_low_surrogate(unit)) return kReplacementCharacter;
  return unit;
}

std::uint32_t row_mask(int height) {
  return height >= 32 ? 0xFFFFFFFFu : (std::uint32_t{1} << height) - 1;
}

// Moves a glyph column whose bitmap starts `offset` rows below the canvas top into canvas rows.
std::uint32_t place(std::uint64_t mask, int offset, int height) {
  if (offset >= 64 || offset <= -64) return 0;
  const std::uint64_t moved = offset >= 0 ? mask << offset : mask >> -offset;
  return static_cast<std::uint32_t>(moved) & row_mask(height);
}

}  // namespace

GlyphCanvas::GlyphCanvas(FontFace font, int width, int height) : font_(std::move(font)) {
  resize(width, height);
}

void GlyphCanvas::resize(int width, int height) {
  if (width < 0 || height < 0 || height > kMaxHeight) {
    throw std::length_error("a canvas of " + std::to_string(width) + " x " +
                            std::to_string(height) + " pixels is not possible");
  }
  width_ = width;
  height_ = height;
  black_.resize(static_cast<std::size_t>(width));
  for (auto& rows : black_) rows &= row_mask(height);
  std::erase_if(tinted_,
                [&](const auto& entry) { return !inside(entry.first.first, entry.first.second); });
}

void GlyphCanvas::clear() {
  std::fill(black_.begin(), black_.end(), 0);
  tinted_.clear();
}

void GlyphCanvas::set_font_size(double points) {
  font_.set_size(points);
  glyphs_.clear();
  ascii_.fill(nullptr);
}

void GlyphCanvas::set_position(int x, int y) {
  x_ = x;
  y_ = y;
}

const GlyphCanvas::GlyphColumns& GlyphCanvas::glyph(char32_t code_point) {
  if (code_point >= ascii_.size()) return rendered(font_.glyph_index(code_point));
  const GlyphColumns*& cached = ascii_[code_point];
  if (cached == nullptr) cached = &rendered(font_.glyph_index(code_point));
  return *cached;
}

const GlyphCanvas::GlyphColumns& GlyphCanvas::rendered(unsigned glyph_index) {
  auto found = glyphs_.find(glyph_index);
  if (found != glyphs_.end()) return found->second;

  const Glyph glyph = font_.render(glyph_index);
  GlyphColumns columns{glyph.left, glyph.top, glyph.advance,
                       std::vector<std::uint64_t>(static_cast<std::size_t>(glyph.width))};
  // Rows past the 64th could never reach a canvas of at most 32 rows drawn at the cell top.
  for (int column = 0; column < glyph.width; ++column) {
    for (int row = 0; row < glyph.rows && row < 64; ++row) {
      if (glyph.inked(column, row)) columns.masks[column] |= std::uint64_t{1} << row;
    }
  }
  return glyphs_.emplace(glyph_index, std::move(columns)).first->second;
}

void GlyphCanvas::paint_black(int x, std::uint32_t rows) {
  if (x < 0 || x >= width_ || rows == 0) return;
  black_[static_cast<std::size_t>(x)] |= rows;
  if (tinted_.empty()) return;
  for (int y = 0; y < height_; ++y) {
    if (rows & (std::uint32_t{1} << y)) tinted_.erase({x, y});
  }
}

void GlyphCanvas::draw_text(std::u16string_view text) {
  const int baseline = y_ + font_.ascent();
  long long pen = x_;
  for (std::size_t i = 0; i < text.size();) {
    const GlyphColumns& drawn = glyph(next_code_point(text, i));
    const int offset = baseline - drawn.top;
    for (std::size_t column = 0; column < drawn.masks.size(); ++column) {
      const long long x = pen + drawn.left + static_cast<long long>(column);
      if (x >= 0 && x < width_) {
        paint_black(static_cast<int>(x), place(drawn.masks[column], offset, height_));
      }
    }
    pen += drawn.advance;
  }
}

Colour GlyphCanvas::pixel(int x, int y) const {
  if (!inside(x, y)) return kOutside;
  if (black_[static_cast<std::size_t>(x)] & (std::uint32_t{1} << y)) return kBlack;
  const auto tinted = tinted_.find({x, y});
  return tinted == tinted_.end() ? kBackground : tinted->second;
}

void GlyphCanvas::set_pixel(int x, int y, Colour colour) {
  if (!inside(x, y)) return;
  colour &= 0xFFFFFF;
  const std::uint32_t bit = std::uint32_t{1} << y;
  auto& rows = black_[static_cast<std::size_t>(x)];
  rows &= ~bit;
  tinted_.erase({x, y});
  if (colour == kBlack) {
    rows |= bit;
  } else if (colour != kBackground) {
    tinted_[{x, y}] = colour;
  }
}

std::uint32_t GlyphCanvas::black_rows(int x) const {
  return x >= 0 && x < width_ ? black_[static_cast<std::size_t>(x)] : 0;
}

}  // namespace marquee8
