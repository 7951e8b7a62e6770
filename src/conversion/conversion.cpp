#include "conversion.h"

#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "array_text.h"
#include "conversion_error.h"
#include "font_catalog.h"

namespace marquee8 {

namespace {

// Passes on how many columns come, then each block's columns and their values.
template <typename Begin, typename Take>
class ValueStream final : public ColumnConsumer {
 public:
  ValueStream(Begin begin, Take take) : begin_(std::move(begin)), take_(std::move(take)) {}

  void begin(std::size_t column_count) override { begin_(column_count); }
  void take(std::size_t first_x, std::span<const std::uint32_t> columns) override {
    values_.resize(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) values_[i] = column_value(columns[i]);
    take_(first_x, columns, std::span<const std::uint8_t>(values_));
  }

 private:
  Begin begin_;
  Take take_;
  std::vector<std::uint8_t> values_;
};

bool names_a_file(const std::string& font) {
  struct stat file {};
  return font.find('/') != std::string::npos || ::stat(font.c_str(), &file) == 0;
}

FontFace open_font(const FontSettings& settings) {
  if (settings.font == FontSettings::kBuiltin) return FontFace::builtin();
  if (names_a_file(settings.font)) return FontFace::from_file(settings.font);
  return FontFace::from_file(installed_font_file(settings.font, settings.size));
}

// How far the printable ASCII glyphs reach above and below the baseline at the font's current
// size, in rows. A font without any puts its cell's top on row 0, as the built-in font does.
struct AsciiInk {
  int top = 0;
  int bottom = 0;
};

AsciiInk ascii_ink(GlyphCache& glyphs) {
  std::optional<AsciiInk> ink;
  for (char32_t code_point = 0x21; code_point < 0x7F; ++code_point) {
    if (!glyphs.font().has_glyph(code_point)) continue;
    const GlyphColumns& glyph = glyphs.glyph(code_point);
    if (glyph.blank()) continue;
    if (!ink) ink = AsciiInk{glyph.ink_top(), glyph.ink_bottom()};
    ink->top = std::max(ink->top, glyph.ink_top());
    ink->bottom = std::max(ink->bottom, glyph.ink_bottom());
  }
  return ink.value_or(AsciiInk{glyphs.ascent() - kFirstRow, 0});
}

bool fits_eight_rows(const AsciiInk& ink) {
  return ink.top + ink.bottom <= kLastRow - kFirstRow + 1;
}

// Sizes the font as `settings` say and returns the baseline's canvas row.
int size_and_place(GlyphCache& glyphs, const FontSettings& settings) {
  if (settings.size) {
    glyphs.set_size({.in_pixels = true, .value = static_cast<double>(*settings.size)});
  } else if (settings.font == FontSettings::kBuiltin) {
    glyphs.set_size({});  // the classic 8 points
  } else {
    std::vector<int> sizes =
        glyphs.font().scalable() ? std::vector<int>{} : glyphs.font().strike_sizes();
    if (sizes.empty()) {
      for (int pixels = 4; pixels <= 24; ++pixels) sizes.push_back(pixels);
    }
    std::sort(sizes.begin(), sizes.end(), std::greater<>());
    // The largest that fits, else the smallest there is.
    const auto fitting = std::find_if(sizes.begin(), sizes.end(), [&](int pixels) {
      glyphs.set_size({.in_pixels = true, .value = static_cast<double>(pixels)});
      return fits_eight_rows(ascii_ink(glyphs));
    });
    const int chosen = fitting != sizes.end() ? *fitting : sizes.back();
    glyphs.set_size({.in_pixels = true, .value = static_cast<double>(chosen)});
  }
  // The tallest printable ASCII starts on row 1: in the built-in font and the misc-fixed ones
  // that is where capitals and ascenders start, and their accents then stay on the rows too.
  return kFirstRow + ascii_ink(glyphs).top + settings.offset;
}

}  // namespace

void Conversion::check_length(std::size_t code_units) {
  if (code_units > kMaxTextLength) {
    throw ConversionError(ConversionError::Kind::kTextTooLong,
                          "the text is too long: " + std::to_string(code_units) +
                              " characters, at most " + std::to_string(kMaxTextLength) +
                              " fit in one array");
  }
}

std::size_t Conversion::column_count(std::size_t code_units) {
  return code_units * kCharacterAdvance + 1;
}

Conversion::Conversion(const ConversionSettings& settings)
    : settings_(settings), glyphs_(open_font(settings.font)) {
  check(settings_.output);
  baseline_ = size_and_place(glyphs_, settings_.font);
}

Conversion::Conversion(const OutputSettings& output)
    : Conversion(ConversionSettings{FontSettings(), output}) {}

void Conversion::set_settings(const ConversionSettings& settings) {
  check(settings.output);
  if (settings.font != settings_.font) {
    GlyphCache glyphs(open_font(settings.font));
    const int baseline = size_and_place(glyphs, settings.font);
    glyphs_ = std::move(glyphs);
    baseline_ = baseline;
  }
  settings_ = settings;
}

template <typename Text, typename Begin, typename TakeColumns>
void Conversion::draw(const Text& text, std::size_t code_units, int height, Begin begin,
                      TakeColumns take_columns) {
  check_length(code_units);
  const LineLayout layout{.baseline = baseline_,
                          .cell_spacing = settings_.font.cell_spacing,
                          .height = height,
                          .first_sampled_row = kFirstRow,
                          .last_sampled_row = kLastRow};
  ValueStream stream(std::move(begin), std::move(take_columns));
  FontWarnings warnings;
  draw_columns(text, glyphs_, layout, stream, &warnings);
  warnings_ = std::move(warnings);
}

template <typename Text>
void Conversion::convert(const Text& text, std::size_t code_units, ByteSink& out,
                         GlyphCanvas* canvas, std::vector<std::uint8_t>* column_values) {
  const int height = canvas != nullptr ? canvas->height() : GlyphCanvas::kDefaultHeight;
  const OutputSettings& output = settings_.output;
  // The picture comes before the declarations, so for it the values are gathered first.
  const bool gather = output.art || column_values != nullptr;
  std::vector<std::uint8_t> values;
  std::optional<ArrayWriter> writer;
  draw(
      text, code_units, height,
      // Called once every glyph has been rendered without a failure: nothing is written before.
      [&](std::size_t column_count) {
        if (!output.art) writer.emplace(output, column_count, out);
      },
      [&](std::size_t first_x, auto columns, std::span<const std::uint8_t> block) {
        if (canvas != nullptr) canvas->paint_columns(first_x, columns);
        if (gather) values.insert(values.end(), block.begin(), block.end());
        if (writer) writer->add(block);
      });
  if (output.art) {
    write_array(output, values, out);
  } else {
    writer->finish();
  }
  if (column_values != nullptr) *column_values = std::move(values);
}

void Conversion::write_output(const Utf8Line& text, ByteSink& out) {
  convert(text, text.code_units(), out, nullptr);
}

void Conversion::write_output(std::u16string_view text, ByteSink& out) {
  convert(text, text.size(), out, nullptr);
}

std::vector<std::uint8_t> Conversion::column_values(const Utf8Line& text) {
  std::vector<std::uint8_t> all;
  draw(
      text, text.code_units(), GlyphCanvas::kDefaultHeight,
      [&](std::size_t column_count) { all.reserve(column_count); },
      [&](std::size_t, auto, std::span<const std::uint8_t> values) {
        all.insert(all.end(), values.begin(), values.end());
      });
  return all;
}

std::string Conversion::start(std::u16string_view text, GlyphCanvas& canvas,
                              std::vector<std::uint8_t>* column_values) {
  GlyphCanvas drawn(canvas.width(), canvas.height());
  StringSink output;
  convert(text, text.size(), output, &drawn, column_values);
  std::string shown = output.take();
  if (is_text(settings_.output.format)) {
    shown.resize(shown.size() - (shown.ends_with("\r\n") ? 2 : 1));
  }
  canvas = std::move(drawn);
  return shown;
}

}  // namespace marquee8
