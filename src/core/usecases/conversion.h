#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "byte_sink.h"
#include "font_settings.h"
#include "font_warnings.h"
#include "run_control.h"
#include "shown.h"
#include "status.h"
#include "utf8_line.h"

namespace marquee8 {

// Whose words a warning uses when it names the setting that fixes what it warns of.
enum class FrontEnd { kCommandLine, kWindow, kPage };

// Text in, column values and array text out: the one object the window, the command line, the
// web page, the fuzzers and the benchmarks convert with. A text of n UTF-16 code units is drawn
// with the capitals' top on row 1 and, with cell spacing, columns 0 to 6n are sampled, whatever
// width its glyphs really take. The font and its rendered glyphs are kept from run to run.
class Conversion {
 public:
  // Loads the font. Throws ConversionError: kFontUnusable for a font that cannot be opened or
  // sized, kInvalidSettings for output settings that cannot be written.
  explicit Conversion(const ConversionSettings& settings = {});
  // The built-in font with these output settings.
  explicit Conversion(const OutputSettings& output);
  ~Conversion();
  Conversion(const Conversion&) = delete;
  Conversion& operator=(const Conversion&) = delete;

  const ConversionSettings& settings() const;
  // Keeps the font and its glyphs unless the font settings change; on any failure the
  // conversion keeps its settings.
  void set_settings(const ConversionSettings& settings);

  // Streams the output of `text` to `out` as it is made, exactly what a file of it holds. A
  // ConversionError comes before anything is written (kTextTooLong when the columns and leads
  // are more than an array can count); a failing write stops the conversion.
  void write_output(const Utf8Line& text, ByteSink& out);
  void write_output(std::u16string_view text, ByteSink& out);

  // The text's own column values, as sampled (bit 0 the top row, whatever the output's order).
  std::vector<std::uint8_t> column_values(const Utf8Line& text);

  // The Start command: what the output box, a canvas of `canvas_width` x `canvas_height`, the
  // preview and the status bar show for `text`. Throws ConversionError and std::bad_alloc.
  Shown start(std::u16string_view text, int canvas_width, int canvas_height);

  // Consulted by every later run; an empty one lets every run finish.
  void set_run_control(RunControl control) { control_ = std::move(control); }

  // The command line's unless told otherwise.
  void set_front_end(FrontEnd front_end) { front_end_ = front_end; }

  // What the font did not draw as it should in the last run, and the same one line a kind.
  const FontWarnings& warnings() const;
  std::vector<std::string> warning_lines() const;
  // The status figures of the last run's array, for the advice on where it fits.
  StatusFigures figures() const;

 private:
  struct Font;
  template <typename Text>
  void convert(const Text& text, std::size_t code_units, ByteSink& out, GlyphCanvas* canvas,
               std::vector<std::uint8_t>* column_values);
  template <typename Text, typename Begin, typename TakeColumns>
  void draw(const Text& text, std::size_t code_units, Begin begin, TakeColumns take_columns);

  ConversionSettings settings_;
  std::unique_ptr<Font> font_;
  FontWarnings warnings_;
  std::size_t columns_ = 0;  // the text's own, in the last run
  RunControl control_;
  FrontEnd front_end_ = FrontEnd::kCommandLine;
};

}  // namespace marquee8
