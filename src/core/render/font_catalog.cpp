#include "font_catalog.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <algorithm>
#include <memory>
#include <tuple>

#include "conversion_error.h"
#include "setting_ranges.h"

namespace marquee8 {

namespace {

struct ConfigDeleter {
  void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};
struct PatternDeleter {
  void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
struct ObjectSetDeleter {
  void operator()(FcObjectSet* set) const { FcObjectSetDestroy(set); }
};
struct FontSetDeleter {
  void operator()(FcFontSet* set) const { FcFontSetDestroy(set); }
};
struct StrListDeleter {
  void operator()(FcStrList* list) const { FcStrListDone(list); }
};

[[noreturn]] void unusable(const std::string& message) {
  throw ConversionError(ConversionError::Kind::kFontUnusable, message);
}

std::string text(FcPattern* pattern, const char* object) {
  FcChar8* value = nullptr;
  return FcPatternGetString(pattern, object, 0, &value) == FcResultMatch
             ? reinterpret_cast<const char*>(value)
             : "";
}

std::string xml_text(const FcChar8* raw) {
  std::string text;
  for (const char* c = reinterpret_cast<const char*>(raw); *c != '\0'; ++c) {
    switch (*c) {
      case '&':
        text += "&amp;";
        break;
      case '<':
        text += "&lt;";
        break;
      case '>':
        text += "&gt;";
        break;
      default:
        text += *c;
    }
  }
  return text;
}

// The system's font folders and caches without its rules, so that nothing is rejected.
std::unique_ptr<FcConfig, ConfigDeleter> every_font() {
  const std::unique_ptr<FcConfig, ConfigDeleter> system(FcInitLoadConfig());
  std::unique_ptr<FcConfig, ConfigDeleter> all(FcConfigCreate());
  if (!system || !all) unusable("fontconfig cannot start");
  std::string xml = "<fontconfig>";
  const std::unique_ptr<FcStrList, StrListDeleter> folders(FcConfigGetFontDirs(system.get()));
  while (FcChar8* folder = FcStrListNext(folders.get()))
    xml += "<dir>" + xml_text(folder) + "</dir>";
  const std::unique_ptr<FcStrList, StrListDeleter> caches(FcConfigGetCacheDirs(system.get()));
  while (FcChar8* cache = FcStrListNext(caches.get())) {
    xml += "<cachedir>" + xml_text(cache) + "</cachedir>";
  }
  xml += "</fontconfig>";
  if (!FcConfigParseAndLoadFromMemory(all.get(), reinterpret_cast<const FcChar8*>(xml.c_str()),
                                      FcTrue) ||
      !FcConfigBuildFonts(all.get())) {
    unusable("fontconfig cannot read the font folders");
  }
  return all;
}

}  // namespace

std::vector<InstalledFont> installed_fonts() {
  const auto config = every_font();
  const std::unique_ptr<FcPattern, PatternDeleter> any(FcPatternCreate());
  const std::unique_ptr<FcObjectSet, ObjectSetDeleter> wanted(FcObjectSetBuild(
      FC_FAMILY, FC_STYLE, FC_FILE, FC_PIXEL_SIZE, FC_SCALABLE, FC_CHARSET, nullptr));
  const std::unique_ptr<FcFontSet, FontSetDeleter> found(
      FcFontList(config.get(), any.get(), wanted.get()));
  std::vector<InstalledFont> fonts;
  for (int i = 0; found && i < found->nfont; ++i) {
    FcPattern* font = found->fonts[i];
    FcBool scalable = FcTrue;
    double pixels = 0;
    InstalledFont entry;
    entry.family = text(font, FC_FAMILY);
    entry.style = text(font, FC_STYLE);
    entry.file = text(font, FC_FILE);
    FcChar8* other = nullptr;
    for (int name = 1; FcPatternGetString(font, FC_FAMILY, name, &other) == FcResultMatch; ++name) {
      entry.other_families.emplace_back(reinterpret_cast<const char*>(other));
    }
    FcCharSet* characters = nullptr;
    if (FcPatternGetCharSet(font, FC_CHARSET, 0, &characters) == FcResultMatch) {
      entry.characters = static_cast<int>(FcCharSetCount(characters));
    }
    if (FcPatternGetBool(font, FC_SCALABLE, 0, &scalable) == FcResultMatch && !scalable &&
        FcPatternGetDouble(font, FC_PIXEL_SIZE, 0, &pixels) == FcResultMatch) {
      entry.pixel_size = static_cast<int>(pixels + 0.5);
    }
    if (!entry.file.empty()) fonts.push_back(std::move(entry));
  }
  std::sort(fonts.begin(), fonts.end(), [](const InstalledFont& a, const InstalledFont& b) {
    return std::tie(a.family, a.style, a.pixel_size, a.file) <
           std::tie(b.family, b.style, b.pixel_size, b.file);
  });
  return fonts;
}

std::string installed_font_file(const std::string& family, std::optional<int> pixel_size) {
  std::vector<InstalledFont> candidates;
  const auto called = [&](const std::string& name) {
    return strcasecmp(name.c_str(), family.c_str()) == 0;
  };
  for (InstalledFont& font : installed_fonts()) {
    if (called(font.family) ||
        std::any_of(font.other_families.begin(), font.other_families.end(), called)) {
      candidates.push_back(std::move(font));
    }
  }
  if (candidates.empty()) {
    unusable("no installed font is called '" + family + "' (marquee8 --list-fonts lists them)");
  }
  const auto regular = [](const InstalledFont& font) { return is_regular_style(font.style); };
  if (std::any_of(candidates.begin(), candidates.end(), regular)) {
    std::erase_if(candidates, [&](const InstalledFont& font) { return !regular(font); });
  }
  const bool bitmap = std::all_of(candidates.begin(), candidates.end(),
                                  [](const InstalledFont& font) { return font.pixel_size; });
  if (bitmap && pixel_size &&
      std::none_of(candidates.begin(), candidates.end(),
                   [&](const InstalledFont& font) { return font.pixel_size == pixel_size; })) {
    std::string sizes;
    for (const InstalledFont& font : candidates) {
      const std::string size = std::to_string(*font.pixel_size);
      if (sizes.find(" " + size + ",") == std::string::npos) sizes += " " + size + ",";
    }
    sizes.pop_back();
    unusable(missing_size("'" + family + "'", *pixel_size, sizes.substr(1)));
  }
  // Preference: the size asked for, else the tallest that fits 8 rows, else the smallest.
  const auto rank = [&](const InstalledFont& font) {
    const int size = font.pixel_size.value_or(0);
    const int group = !font.pixel_size ? 0
                      : pixel_size     ? (size == *pixel_size ? 0 : 3)
                      : size <= 8      ? 1
                                       : 2;
    return std::tuple(group, group == 1 ? -size : size, -font.characters);
  };
  return std::min_element(candidates.begin(), candidates.end(),
                          [&](const auto& a, const auto& b) { return rank(a) < rank(b); })
      ->file;
}

}  // namespace marquee8
