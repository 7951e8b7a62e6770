#pragma once

#include <optional>
#include <string>

namespace marquee8 {

// Which font draws the text and how it is placed; every field has the classic value.
struct FontSettings {
  static constexpr const char* kBuiltin = "builtin";

  // "builtin", a font file (BDF, PCF, PCF.gz, OTB, TTF, OTF), or an installed family's name.
  std::string font = kBuiltin;
  // Pixels. Nothing: a bitmap font's tallest strike that fits 8 rows, an outline font's
  // largest size whose printable ASCII fits 8 rows, the built-in font's own.
  std::optional<int> size;
  // 6 columns per character as the classic program counts them, or each glyph's own advance.
  bool cell_spacing = true;
  // Rows the text moves down from where capitals start on row 1 (up when negative).
  int offset = 0;

  bool operator==(const FontSettings&) const = default;
};

}  // namespace marquee8
