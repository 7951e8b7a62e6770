#pragma once

#include <optional>
#include <string>
#include <utility>

#include "output_settings.h"

namespace marquee8 {

// Where the glyphs come from.
struct FontSource {
  enum class Kind {
    kBuiltin,  // the LED font compiled into the program
    kFile,     // a font file (BDF, PCF, PCF.gz, OTB, TTF, OTF), named as the user gave it
    kFamily,   // an installed family, found through fontconfig
  };

  Kind kind = Kind::kBuiltin;
  std::string name;  // the file's path or the family's name; empty for the built-in font

  static FontSource builtin() { return {}; }
  static FontSource file(std::string path) { return {Kind::kFile, std::move(path)}; }
  static FontSource family(std::string name) { return {Kind::kFamily, std::move(name)}; }

  bool operator==(const FontSource&) const = default;
};

// Which font draws the text and how it is placed; every field has the classic value.
struct FontSettings {
  FontSource font;
  // Pixels. Nothing: a bitmap font's tallest strike that fits 8 rows, an outline font's
  // largest size whose printable ASCII fits 8 rows, the built-in font's own.
  std::optional<int> size;
  // 6 columns per character as the classic program counts them, or each glyph's own advance.
  bool cell_spacing = true;
  // Rows the text moves down from where capitals start on row 1 (up when negative).
  int offset = 0;

  bool operator==(const FontSettings&) const = default;
};

// What a conversion may be told; every field has the classic value.
struct ConversionSettings {
  FontSettings font;
  OutputSettings output;
};

}  // namespace marquee8
