#include "conversion.h"

#include <optional>
#include <span>
#include <string>
#include <utility>

#include "array_text.h"
#include "column_stream.h"
#include "conversion_error.h"

namespace marquee8 {

namespace {

// Passes each block's columns and their values on to `take`.
template <typename Take>
class ValueStream final : public ColumnConsumer {
 public:
  explicit ValueStream(Take take) : take_(std::move(take)) {}

  void take(std::size_t first_x, std::span<const std::uint32_t> columns) override {
    values_.resize(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) values_[i] = column_value(columns[i]);
    take_(first_x, columns, std::span<const std::uint8_t>(values_));
  }

 private:
  Take take_;
  std::vector<std::uint8_t> values_;
};

std::size_t code_units_of(const Utf8Line& text) { return text.code_units(); }
std::size_t code_units_of(std::u16string_view text) { return text.size(); }

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

Conversion::Conversion(ConversionSettings settings, FontFace font)
    : settings_(std::move(settings)), glyphs_(std::move(font)) {
  check(settings_.output);
}

void Conversion::set_settings(const ConversionSettings& settings) {
  check(settings.output);
  settings_ = settings;
}

std::size_t Conversion::array_size(std::size_t code_units) const {
  return static_cast<std::size_t>(settings_.output.lead_in) + column_count(code_units) +
         static_cast<std::size_t>(settings_.output.lead_out);
}

template <typename Text, typename TakeColumns>
void Conversion::draw(const Text& text, std::size_t code_units, int height,
                      TakeColumns take_columns) {
  check_length(code_units);
  glyphs_.set_size(settings_.font_points);
  ValueStream stream(std::move(take_columns));
  draw_columns(text, glyphs_, height, column_count(code_units), stream);
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
  draw(text, code_units, height,
       [&](std::size_t first_x, auto columns, std::span<const std::uint8_t> block) {
         if (canvas != nullptr) canvas->paint_columns(first_x, columns);
         if (gather) values.insert(values.end(), block.begin(), block.end());
         if (output.art) return;
         // Made at the first block, once every glyph has been rendered without a failure.
         if (!writer) writer.emplace(output, column_count(code_units), out);
         writer->add(block);
       });
  if (output.art) {
    writer.emplace(output, values.size(), out, values);
    writer->add(values);
  }
  writer->finish();
  if (column_values != nullptr) *column_values = std::move(values);
}

void Conversion::write_output(const Utf8Line& text, ByteSink& out) {
  convert(text, code_units_of(text), out, nullptr);
}

void Conversion::write_output(std::u16string_view text, ByteSink& out) {
  convert(text, code_units_of(text), out, nullptr);
}

std::vector<std::uint8_t> Conversion::column_values(const Utf8Line& text) {
  std::vector<std::uint8_t> all;
  all.reserve(column_count(text.code_units()));
  draw(text, text.code_units(), GlyphCanvas::kDefaultHeight,
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
