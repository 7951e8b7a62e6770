#include "font_face.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numeric>
#include <optional>
#include <string>

#include "conversion_error.h"
#include "font_file.h"
#include "font_truncation.h"
#include "freetype_errors.h"
#include "setting_ranges.h"
#include "text_constants.h"

namespace marquee8 {

extern const unsigned char builtin_font_bytes[];
extern const std::size_t builtin_font_bytes_size;

namespace {

FT_Library start_freetype() {
  FT_Library library = nullptr;
  if (FT_Error error = FT_Init_FreeType(&library)) {
    throw ConversionError(ConversionError::Kind::kFontUnusable,
                          "cannot start FreeType: " + freetype_reason(error));
  }
  return library;
}

}  // namespace

void FontFace::fail(const std::string& what, int error) const {
  throw ConversionError(ConversionError::Kind::kFontUnusable,
                        name_ + ": " + what + " (" + freetype_reason(error) + ")");
}

void FontFace::LibraryDeleter::operator()(FT_LibraryRec_* library) const {
  FT_Done_FreeType(library);
}

void FontFace::FaceDeleter::operator()(FT_FaceRec_* face) const { FT_Done_Face(face); }

FontFace FontFace::builtin() { return FontFace({builtin_font_bytes, builtin_font_bytes_size}); }

FontFace::FontFace(std::span<const unsigned char> bytes) {
  library_.reset(start_freetype());
  FT_Face face = nullptr;
  if (FT_Error error = FT_New_Memory_Face(library_.get(), bytes.data(),
                                          static_cast<FT_Long>(bytes.size()), 0, &face)) {
    fail("cannot read the font", error);
  }
  face_.reset(face);
}

FontFace FontFace::from_file(const std::string& path) {
  FontFace font;
  font.name_ = "'" + path + "'";
  font.file_bytes_ = read_font_file(path);
  font.library_.reset(start_freetype());
  FT_Face face = nullptr;
  if (FT_Error error =
          FT_New_Memory_Face(font.library_.get(), font.file_bytes_.data(),
                             static_cast<FT_Long>(font.file_bytes_.size()), 0, &face)) {
    // FreeType says "unknown format" for a font cut short; its tables say more.
    const std::optional<std::string> cut = truncation(font.file_bytes_);
    throw ConversionError(
        ConversionError::Kind::kFontUnusable,
        "the font " + font.name_ + " is " + (cut ? "truncated: " + *cut : freetype_reason(error)));
  }
  font.face_.reset(face);
  return font;
}

FontFace::FontFace(FontFace&&) noexcept = default;
FontFace& FontFace::operator=(FontFace&& other) noexcept {
  // A library frees its faces when it goes: the old face must go first, and on its own.
  face_.reset();
  library_ = std::move(other.library_);
  face_ = std::move(other.face_);
  file_bytes_ = std::move(other.file_bytes_);
  name_ = std::move(other.name_);
  return *this;
}
FontFace::~FontFace() = default;

void FontFace::set_size(double points) {
  const auto size = static_cast<FT_F26Dot6>(std::lround(points * 64));
  if (FT_Error error = FT_Set_Char_Size(face_.get(), 0, size, kDotsPerInch, kDotsPerInch)) {
    char what[64];
    std::snprintf(what, sizeof what, "the font has no %g-point size", points);
    fail(what, error);
  }
}

void FontFace::set_pixel_size(int pixels) {
  if (!scalable()) {
    const std::vector<int> sizes = strike_sizes();
    const auto strike = std::find(sizes.begin(), sizes.end(), pixels);
    if (strike == sizes.end()) {
      std::string offered;
      for (const int size : sizes) offered += (offered.empty() ? "" : ", ") + std::to_string(size);
      throw ConversionError(ConversionError::Kind::kFontUnusable,
                            missing_size(name_, pixels, offered));
    }
    if (FT_Error error = FT_Select_Size(face_.get(), static_cast<FT_Int>(strike - sizes.begin()))) {
      fail("cannot select its " + std::to_string(pixels) + "-pixel size", error);
    }
    return;
  }
  if (FT_Error error = FT_Set_Pixel_Sizes(face_.get(), 0, static_cast<FT_UInt>(pixels))) {
    fail("cannot size it to " + std::to_string(pixels) + " pixels", error);
  }
}

bool FontFace::scalable() const { return FT_IS_SCALABLE(face_.get()); }

std::vector<int> FontFace::strike_sizes() const {
  std::vector<int> sizes;
  for (FT_Int i = 0; i < face_->num_fixed_sizes; ++i)
    sizes.push_back(face_->available_sizes[i].height);
  return sizes;
}

std::optional<int> FontFace::pixel_grid() const {
  if (!scalable()) return std::nullopt;
  FT_Pos grid = 0;
  // Printable ASCII, as fitting measures it: other glyphs can be odd ones off the grid (one of
  // Misaki's unmapped glyphs is 1/3 em wide).
  for (char32_t code_point = 0x21; code_point < 0x7F; ++code_point) {
    const FT_UInt index = FT_Get_Char_Index(face_.get(), code_point);
    if (index == 0) continue;
    if (FT_Load_Glyph(face_.get(), index, FT_LOAD_NO_SCALE) != 0 ||
        face_->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
      return std::nullopt;
    }
    const FT_Outline& outline = face_->glyph->outline;
    for (int point = 0; point < outline.n_points; ++point) {
      if (FT_CURVE_TAG(outline.tags[point]) != FT_CURVE_TAG_ON) return std::nullopt;
      grid = std::gcd(grid, std::gcd(outline.points[point].x, outline.points[point].y));
    }
    grid = std::gcd(grid, face_->glyph->metrics.horiAdvance);
  }
  const FT_Pos em = face_->units_per_EM;
  if (grid == 0 || em % grid != 0 || em / grid > kMaxPixelGrid) return std::nullopt;
  return static_cast<int>(em / grid);
}

bool FontFace::has_glyph(char32_t code_point) const {
  return FT_Get_Char_Index(face_.get(), code_point) != 0;
}

int FontFace::ascent() const {
  return static_cast<int>(std::lround(face_->size->metrics.ascender / 64.0));
}

unsigned FontFace::glyph_index(char32_t code_point) const {
  const FT_UInt index = FT_Get_Char_Index(face_.get(), code_point);
  return index != 0 ? index : FT_Get_Char_Index(face_.get(), kReplacementCharacter);
}

Glyph FontFace::render(unsigned glyph_index) const {
  if (FT_Error error =
          FT_Load_Glyph(face_.get(), glyph_index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO)) {
    fail("cannot draw glyph " + std::to_string(glyph_index), error);
  }
  const FT_GlyphSlot slot = face_->glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO || bitmap.pitch < 0) {
    throw ConversionError(ConversionError::Kind::kFontUnusable,
                          "the font does not render in monochrome");
  }

  Glyph glyph;
  glyph.left = slot->bitmap_left;
  glyph.top = slot->bitmap_top;
  glyph.advance = static_cast<int>(std::lround(slot->advance.x / 64.0));
  glyph.width = static_cast<int>(bitmap.width);
  glyph.rows = static_cast<int>(bitmap.rows);
  glyph.ink.resize(static_cast<std::size_t>(glyph.width) * bitmap.rows);
  for (int row = 0; row < glyph.rows; ++row) {
    const unsigned char* bits = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
    for (int column = 0; column < glyph.width; ++column) {
      glyph.ink[static_cast<std::size_t>(row) * glyph.width + column] =
          (bits[column / 8] & (0x80 >> (column % 8))) != 0;
    }
  }
  return glyph;
}

}  // namespace marquee8
