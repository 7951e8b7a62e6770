#include "conversion.h"

#include <span>
#include <string>
#include <utility>

#include "array_text.h"
#include "column_stream.h"
#include "conversion_error.h"

namespace marquee8 {

namespace {

std::size_t column_count(std::size_t code_units) { return code_units * kCharacterAdvance + 1; }

// Passes each block's column values on to `take_values`.
template <typename TakeValues>
class ValueStream final : public ColumnConsumer {
 public:
  explicit ValueStream(TakeValues take_values) : take_values_(std::move(take_values)) {}

  void take(std::size_t first_x, std::span<const std::uint32_t> columns) override {
    values_.resize(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) values_[i] = column_value(columns[i]);
    take_values_(first_x, columns, std::span<const std::uint8_t>(values_));
  }

 private:
  TakeValues take_values_;
  std::vector<std::uint8_t> values_;
};

}  // namespace

void Conversion::check_length(std::size_t code_units) {
  if (code_units > kMaxTextLength) {
    throw ConversionError(ConversionError::Kind::kTextTooLong,
                          "the text is too long: " + std::to_string(code_units) +
                              " characters, at most " + std::to_string(kMaxTextLength) +
                              " fit in one array");
  }
}

Conversion::Conversion(ConversionSettings settings, FontFace font)
    : settings_(settings), glyphs_(std::move(font)) {}

GlyphCache& Conversion::sized_glyphs() {
  glyphs_.set_size(settings_.font_points);
  return glyphs_;
}

void Conversion::write_array_text(const Utf8Line& text, ByteSink& out) {
  GlyphCache& glyphs = sized_glyphs();
  ArrayTextWriter writer(out);
  ValueStream stream(
      [&](std::size_t, auto, std::span<const std::uint8_t> values) { writer.add(values); });
  draw_columns(text, glyphs, GlyphCanvas::kDefaultHeight, column_count(text.code_units()), stream);
  writer.finish();
}

std::vector<std::uint8_t> Conversion::column_values(const Utf8Line& text) {
  GlyphCache& glyphs = sized_glyphs();
  std::vector<std::uint8_t> all;
  all.reserve(column_count(text.code_units()));
  ValueStream stream([&](std::size_t, auto, std::span<const std::uint8_t> values) {
    all.insert(all.end(), values.begin(), values.end());
  });
  draw_columns(text, glyphs, GlyphCanvas::kDefaultHeight, column_count(text.code_units()), stream);
  return all;
}

std::string Conversion::start(std::u16string_view text, GlyphCanvas& canvas) {
  check_length(text.size());
  GlyphCache& glyphs = sized_glyphs();
  GlyphCanvas drawn(canvas.width(), canvas.height());
  StringSink array;
  ArrayTextWriter writer(array);
  ValueStream stream([&](std::size_t first_x, std::span<const std::uint32_t> columns,
                         std::span<const std::uint8_t> values) {
    drawn.paint_columns(first_x, columns);
    writer.add(values);
  });
  draw_columns(text, glyphs, canvas.height(), column_count(text.size()), stream);
  writer.finish();
  canvas = std::move(drawn);
  return array.take();
}

}  // namespace marquee8
