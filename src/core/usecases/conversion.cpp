#include "conversion.h"

#include <optional>
#include <span>
#include <utility>

#include "array_writer.h"
#include "column_stream.h"
#include "font_fitting.h"
#include "glyph_cache.h"
#include "preview.h"
#include "sampled_rows.h"
#include "settings_check.h"
#include "text_limits.h"

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

// The face at its size with its rendered glyphs, and where its baseline lies.
struct Conversion::Font {
  explicit Font(const FontSettings& settings)
      : glyphs(open_font(settings)), baseline(size_and_place(glyphs, settings)) {}

  GlyphCache glyphs;
  int baseline;
};

Conversion::Conversion(const ConversionSettings& settings)
    : settings_(settings), font_(std::make_unique<Font>(settings.font)) {
  check(settings_.output);
}

Conversion::Conversion(const OutputSettings& output)
    : Conversion(ConversionSettings{FontSettings(), output}) {}

Conversion::~Conversion() = default;

const ConversionSettings& Conversion::settings() const { return settings_; }

void Conversion::set_settings(const ConversionSettings& settings) {
  check(settings.output);
  if (settings.font != settings_.font) font_ = std::make_unique<Font>(settings.font);
  settings_ = settings;
}

const FontWarnings& Conversion::warnings() const { return warnings_; }

std::vector<std::string> Conversion::warning_lines() const {
  // Each front end's own spelling of the setting, as its menu, option or list shows it.
  constexpr std::string_view kOwnWidths[] = {
      "--spacing=font", "Font → Spacing → The Font's Own Widths", "Spacing: The font's own widths"};
  return describe(warnings_, kOwnWidths[static_cast<std::size_t>(front_end_)]);
}

StatusFigures Conversion::figures() const { return status_figures(settings_.output, columns_); }

template <typename Text, typename Begin, typename TakeColumns>
void Conversion::draw(const Text& text, std::size_t code_units, Begin begin,
                      TakeColumns take_columns) {
  check_length(code_units);
  const LineLayout layout{.baseline = font_->baseline,
                          .cell_spacing = settings_.font.cell_spacing,
                          .first_sampled_row = kFirstRow,
                          .last_sampled_row = kLastRow};
  // Glyphs with their own advances can take far more than 6 columns a character: the real
  // count is checked before anything is handed on.
  std::size_t columns_in_all = 0;
  auto checked_begin = [&](std::size_t column_count) {
    check_array_length(column_count, settings_.output, "the text");
    columns_in_all = column_count;
    columns_ = column_count;
    begin(column_count);
  };
  auto controlled_take = [&](std::size_t first_x, auto columns,
                             std::span<const std::uint8_t> block) {
    if (control_ && !control_(first_x + block.size(), columns_in_all)) throw RunCancelled();
    take_columns(first_x, columns, block);
  };
  ValueStream stream(std::move(checked_begin), std::move(controlled_take));
  FontWarnings warnings;
  draw_columns(text, font_->glyphs, layout, stream, &warnings);
  warnings_ = std::move(warnings);
}

template <typename Text>
void Conversion::convert(const Text& text, std::size_t code_units, ByteSink& out,
                         GlyphCanvas* canvas, std::vector<std::uint8_t>* column_values) {
  const OutputSettings& output = settings_.output;
  // The picture comes before the declarations, so for it the values are gathered first.
  const bool gather = output.art || column_values != nullptr;
  std::vector<std::uint8_t> values;
  std::optional<ArrayWriter> writer;
  draw(
      text, code_units,
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
  convert(text, text.code_units(), out, nullptr, nullptr);
}

void Conversion::write_output(std::u16string_view text, ByteSink& out) {
  convert(text, text.size(), out, nullptr, nullptr);
}

std::vector<std::uint8_t> Conversion::column_values(const Utf8Line& text) {
  std::vector<std::uint8_t> all;
  draw(
      text, text.code_units(), [&](std::size_t column_count) { all.reserve(column_count); },
      [&](std::size_t, auto, std::span<const std::uint8_t> values) {
        all.insert(all.end(), values.begin(), values.end());
      });
  return all;
}

Shown Conversion::start(std::u16string_view text, int canvas_width, int canvas_height) {
  GlyphCanvas canvas(canvas_width, canvas_height);
  std::vector<std::uint8_t> sampled;
  StringSink output;
  convert(text, text.size(), output, &canvas, &sampled);
  const OutputSettings& settings = settings_.output;
  return {shown_output(output.take(), settings.format), std::move(canvas),
          with_leads(sampled, settings), figures(), warning_lines()};
}

}  // namespace marquee8
