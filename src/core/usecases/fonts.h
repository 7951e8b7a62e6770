#pragma once

#include <string>
#include <vector>

#include "font_settings.h"
#include "installed_font.h"

namespace marquee8 {

// Every font --font can use, the bitmap ones too, sorted by family, style and size. Throws
// ConversionError (kFontUnusable) if fontconfig cannot start. (The font catalogue defines it.)
std::vector<InstalledFont> installed_fonts();

// An installed bitmap font small enough for 8 rows, as the Font menu offers it.
struct FontPick {
  std::string label;  // "Fixed 8 px"
  FontSettings settings;
};

// The installed bitmap fonts of at most 8 pixels in their regular style, one per family and size.
std::vector<FontPick> small_bitmap_fonts();
// Every installed family's name, once each.
std::vector<std::string> installed_families();

// The font a user means by `name`, on the command line or in the settings file: "builtin", a
// file (a name with a '/', or one that exists), or else an installed family.
FontSource font_source_named(const std::string& name);
// The same name back, as the settings file keeps it.
std::string font_source_name(const FontSource& source);

}  // namespace marquee8
