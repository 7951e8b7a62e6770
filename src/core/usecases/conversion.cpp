#include "conversion.h"

#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "array_text.h"
#include "conversion_error.h"
#include "decode.h"
#include "font_fitting.h"

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

}  // namespace

std::size_t Conversion::column_count(std::size_t code_units) { return code_units * kCellWidth + 1; }

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
  return start_with(text, text.size(), canvas, column_values);
}

std::string Conversion::start(const Utf8Line& text, GlyphCanvas& canvas,
                              std::vector<std::uint8_t>* column_values) {
  return start_with(text, text.code_units(), canvas, column_values);
}

template <typename Text>
std::string Conversion::start_with(const Text& text, std::size_t code_units, GlyphCanvas& canvas,
                                   std::vector<std::uint8_t>* column_values) {
  GlyphCanvas drawn(canvas.width(), canvas.height());
  StringSink output;
  convert(text, code_units, output, &drawn, column_values);
  std::string shown = without_final_line_break(output.take(), settings_.output.format);
  canvas = std::move(drawn);
  return shown;
}

}  // namespace marquee8
