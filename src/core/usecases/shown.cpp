#include "shown.h"

#include <utility>

#include "decode.h"
#include "font_warnings.h"
#include "sampled_rows.h"

namespace marquee8 {

namespace {

// Raw bytes cannot be shown as they are: the box lists them in hex.
std::string shown_output(std::string output, OutputFormat format) {
  if (is_text(format)) return output;
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(output.size() * 3);
  for (const char byte : output) {
    if (!hex.empty()) hex += ' ';
    const auto value = static_cast<unsigned char>(byte);
    hex += kDigits[value >> 4];
    hex += kDigits[value & 15];
  }
  return hex;
}

}  // namespace

Shown show_start(Conversion& conversion, const Utf8Line& text, int canvas_width,
                 int canvas_height) {
  GlyphCanvas canvas(canvas_width, canvas_height);
  std::vector<std::uint8_t> sampled;
  std::string output = conversion.start(text, canvas, &sampled);
  const OutputSettings& settings = conversion.settings().output;
  std::vector<std::uint8_t> array(static_cast<std::size_t>(settings.lead_in), 0);
  array.insert(array.end(), sampled.begin(), sampled.end());
  array.insert(array.end(), static_cast<std::size_t>(settings.lead_out), 0);
  const StatusFigures status = status_figures(sampled.size(), array.size(), settings.format);
  return {shown_output(std::move(output), settings.format), std::move(canvas), std::move(array),
          status, describe(conversion.warnings())};
}

Shown show_array(std::string_view array_text, const OutputSettings& settings, int canvas_width,
                 int canvas_height) {
  check(settings);
  std::vector<std::uint8_t> columns = read_back(array_text, settings.msb_top);
  GlyphCanvas canvas(canvas_width, canvas_height);
  std::vector<std::uint32_t> rows(columns.size());
  for (std::size_t i = 0; i < columns.size(); ++i) rows[i] = std::uint32_t{columns[i]} << kFirstRow;
  canvas.paint_columns(0, rows);
  StringSink output;
  write_read_back(settings, columns, output);
  const StatusFigures status = status_figures(columns.size(), columns.size(), settings.format);
  return {shown_output(without_final_line_break(output.take(), settings.format), settings.format),
          std::move(canvas),
          std::move(columns),
          status,
          {}};
}

}  // namespace marquee8
