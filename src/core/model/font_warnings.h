#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace marquee8 {

// What a font did not draw as it should, each list the characters concerned in the order they
// first appear in the text.
struct FontWarnings {
  std::vector<char32_t> missing;   // the font has no glyph: the replacement was drawn
  std::vector<char32_t> blank;     // the glyph exists but has no ink (spaces are meant blank)
  std::vector<char32_t> clipped;   // ink above row 1 or below row 8 is not sampled
  std::vector<char32_t> spilling;  // with 6-column cells: ink in a neighbour's columns

  bool empty() const {
    return missing.empty() && blank.empty() && clipped.empty() && spilling.empty();
  }
};

// One line per kind of warning, naming the characters and their code points, e.g.
// "missing from the font: 'ж' (U+0436), '中' (U+4E2D)". Glyphs drawn over their neighbours
// point to `own_widths`, the front end's name for the setting that gives each its own width.
std::vector<std::string> describe(const FontWarnings& warnings, std::string_view own_widths);

}  // namespace marquee8
