#pragma once

#include <optional>
#include <string>

#include "fonts.h"

namespace marquee8::testing {

// Font settings in one expression, every field named by position; the font as --font names it.
inline FontSettings font_choice(const std::string& font, std::optional<int> size = {},
                                bool cell_spacing = true, int offset = 0) {
  FontSettings settings;
  settings.font = font_source_named(font);
  settings.size = size;
  settings.cell_spacing = cell_spacing;
  settings.offset = offset;
  return settings;
}

}  // namespace marquee8::testing
