#include "font_fitting.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

#include "font_catalog.h"
#include "sampled_rows.h"

namespace marquee8 {

FontFace open_font(const FontSettings& settings) {
  switch (settings.font.kind) {
    case FontSource::Kind::kBuiltin:
      return FontFace::builtin();
    case FontSource::Kind::kFile:
      return FontFace::from_file(settings.font.name);
    case FontSource::Kind::kFamily:
      return FontFace::from_file(installed_font_file(settings.font.name, settings.size));
  }
  return FontFace::builtin();
}

namespace {

// How far the printable ASCII glyphs reach above and below the baseline at the font's current
// size, in rows. A font without any puts its cell's top on row 0, as the built-in font does.
struct AsciiInk {
  int top = 0;
  int bottom = 0;
};

AsciiInk ascii_ink(GlyphCache& glyphs) {
  std::optional<AsciiInk> ink;
  for (char32_t code_point = 0x21; code_point < 0x7F; ++code_point) {
    if (!glyphs.font().has_glyph(code_point)) continue;
    const GlyphColumns& glyph = glyphs.glyph(code_point);
    if (glyph.blank()) continue;
    if (!ink) ink = AsciiInk{glyph.ink_top(), glyph.ink_bottom()};
    ink->top = std::max(ink->top, glyph.ink_top());
    ink->bottom = std::max(ink->bottom, glyph.ink_bottom());
  }
  return ink.value_or(AsciiInk{glyphs.ascent() - kFirstRow, 0});
}

bool fits_eight_rows(const AsciiInk& ink) {
  return ink.top + ink.bottom <= kLastRow - kFirstRow + 1;
}

}  // namespace

int size_and_place(GlyphCache& glyphs, const FontSettings& settings) {
  if (settings.size) {
    glyphs.set_size({.in_pixels = true, .value = static_cast<double>(*settings.size)});
  } else if (settings.font.kind == FontSource::Kind::kBuiltin) {
    glyphs.set_size({});  // the classic 8 points
  } else {
    std::vector<int> sizes =
        glyphs.font().scalable() ? std::vector<int>{} : glyphs.font().strike_sizes();
    if (sizes.empty()) {
      // A pixel font stays crisp only where each of its pixels is a whole square of LEDs.
      const std::optional<int> grid = glyphs.font().pixel_grid();
      for (int pixels = grid.value_or(4); pixels <= FontFace::kMaxPixelGrid;
           pixels += grid.value_or(1)) {
        sizes.push_back(pixels);
      }
    }
    std::sort(sizes.begin(), sizes.end(), std::greater<>());
    // The largest that fits, else the smallest there is.
    const auto fitting = std::find_if(sizes.begin(), sizes.end(), [&](int pixels) {
      glyphs.set_size({.in_pixels = true, .value = static_cast<double>(pixels)});
      return fits_eight_rows(ascii_ink(glyphs));
    });
    const int chosen = fitting != sizes.end() ? *fitting : sizes.back();
    glyphs.set_size({.in_pixels = true, .value = static_cast<double>(chosen)});
  }
  // The tallest printable ASCII starts on row 1: in the built-in font and the misc-fixed ones
  // that is where capitals and ascenders start, and their accents then stay on the rows too.
  return kFirstRow + ascii_ink(glyphs).top + settings.offset;
}

}  // namespace marquee8
