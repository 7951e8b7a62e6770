#include "fonts.h"

#include <sys/stat.h>

#include <algorithm>

#include "font_catalog.h"
#include "sampled_rows.h"

namespace marquee8 {

namespace {

constexpr const char* kBuiltinName = "builtin";

}  // namespace

std::vector<FontPick> small_bitmap_fonts() {
  std::vector<FontPick> picks;
  for (const InstalledFont& font : installed_fonts()) {
    if (!font.pixel_size || *font.pixel_size > kLastRow || !is_regular_style(font.style)) continue;
    const std::string label = font.family + " " + std::to_string(*font.pixel_size) + " px";
    if (!picks.empty() && picks.back().label == label) continue;
    FontSettings settings;
    settings.font = FontSource::family(font.family);
    settings.size = *font.pixel_size;
    picks.push_back({label, settings});
  }
  return picks;
}

std::vector<std::string> installed_families() {
  std::vector<std::string> families;
  for (const InstalledFont& font : installed_fonts()) {
    if (std::find(families.begin(), families.end(), font.family) == families.end()) {
      families.push_back(font.family);
    }
  }
  return families;
}

FontSource font_source_named(const std::string& name) {
  if (name == kBuiltinName) return FontSource::builtin();
  struct stat file {};
  if (name.find('/') != std::string::npos || ::stat(name.c_str(), &file) == 0) {
    return FontSource::file(name);
  }
  return FontSource::family(name);
}

std::string font_source_name(const FontSource& source) {
  return source.kind == FontSource::Kind::kBuiltin ? kBuiltinName : source.name;
}

}  // namespace marquee8
