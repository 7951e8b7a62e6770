#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "byte_sink.h"
#include "column_stream.h"
#include "font_face.h"
#include "font_settings.h"
#include "font_warnings.h"
#include "glyph_cache.h"
#include "glyph_canvas.h"
#include "output_settings.h"
#include "sampled_rows.h"
#include "text_limits.h"
#include "utf8_line.h"

namespace marquee8 {

// What a conversion may be told; every field has the classic value.
struct ConversionSettings {
  FontSettings font;
  OutputSettings output;
};

// Text in, column values and array text out: the one object the window, the command line, the
// fuzzer and the benchmarks convert with. A text of n UTF-16 code units is drawn with the
// capitals' top on row 1 and, with cell spacing, columns 0 to 6n are sampled, whatever width
// its glyphs really take. The font and its rendered glyphs are kept from run to run.
class Conversion {
 public:
  // The columns sampled for a text of `code_units` with cell spacing: 6n + 1.
  static std::size_t column_count(std::size_t code_units);

  // Loads the font. Throws ConversionError: kFontUnusable for a font that cannot be opened or
  // sized, kInvalidSettings for output settings that cannot be written.
  explicit Conversion(const ConversionSettings& settings = {});
  // The built-in font with these output settings.
  explicit Conversion(const OutputSettings& output);

  const ConversionSettings& settings() const { return settings_; }
  // Keeps the font and its glyphs unless the font settings change; on any failure the
  // conversion keeps its settings.
  void set_settings(const ConversionSettings& settings);

  // Streams the output of `text` to `out` as it is made, exactly what a file of it holds. A
  // ConversionError comes before anything is written; a failing write stops the conversion.
  void write_output(const Utf8Line& text, ByteSink& out);
  void write_output(std::u16string_view text, ByteSink& out);

  // The text's own column values, as sampled (bit 0 the top row, whatever the output's order).
  std::vector<std::uint8_t> column_values(const Utf8Line& text);

  // The Start command: the output of `text` without its final line break, as the output box
  // shows it, on `canvas` the drawn text's first columns and in `column_values`, if given, the
  // text's own column values as sampled. Throws ConversionError (kTextTooLong,
  // kFontUnusable) and leaves `canvas` and `column_values` as they were.
  std::string start(std::u16string_view text, GlyphCanvas& canvas,
                    std::vector<std::uint8_t>* column_values = nullptr);
  std::string start(const Utf8Line& text, GlyphCanvas& canvas,
                    std::vector<std::uint8_t>* column_values = nullptr);

  // What the font did not draw as it should in the last run.
  const FontWarnings& warnings() const { return warnings_; }

 private:
  struct LoadedFont;
  template <typename Text>
  void convert(const Text& text, std::size_t code_units, ByteSink& out, GlyphCanvas* canvas,
               std::vector<std::uint8_t>* column_values = nullptr);
  template <typename Text>
  std::string start_with(const Text& text, std::size_t code_units, GlyphCanvas& canvas,
                         std::vector<std::uint8_t>* column_values);
  template <typename Text, typename Begin, typename TakeColumns>
  void draw(const Text& text, std::size_t code_units, int height, Begin begin,
            TakeColumns take_columns);

  ConversionSettings settings_;
  GlyphCache glyphs_;
  int baseline_;
  FontWarnings warnings_;
};

}  // namespace marquee8
