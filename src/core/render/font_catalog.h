#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "installed_font.h"

namespace marquee8 {

// Every font installed, the bitmap ones too: Debian's fontconfig hides those from programs
// (70-no-bitmaps.conf), yet they are the ones made for few pixels. Sorted by family, style and
// size. Throws ConversionError (kFontUnusable) if fontconfig cannot start.
std::vector<InstalledFont> installed_fonts();

// Whether a style is a family's plain one as fonts name it (some bitmap fonts name none).
bool is_regular_style(std::string_view style);

// The file of the installed font `family` (any case, by any of its names), in the regular style
// where there is one; among bitmap files the one of `pixel_size`, else the tallest whose size is
// at most 8 pixels, else the smallest; of equals, the one with the most characters. Throws
// ConversionError (kFontUnusable) when no font has that family, or a bitmap family has no such
// size.
std::string installed_font_file(const std::string& family, std::optional<int> pixel_size);

}  // namespace marquee8
