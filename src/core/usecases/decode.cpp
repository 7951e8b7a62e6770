#include "decode.h"

#include <algorithm>

#include "array_reader.h"
#include "array_writer.h"
#include "sampled_rows.h"
#include "settings_check.h"
#include "text_limits.h"

namespace marquee8 {

bool ArrayInput::add(std::string_view block) {
  const auto binary = std::find_if(block.begin(), block.end(), is_binary_byte);
  const std::size_t kept =
      binary == block.end() ? block.size() : static_cast<std::size_t>(binary - block.begin()) + 1;
  check_array_text_size(text_.size() + kept);
  text_.append(block.substr(0, kept));
  return binary == block.end();
}

std::vector<std::uint8_t> read_columns(std::string_view array_text, const ArraySource& source,
                                       const RunControl& control) {
  ReadingProgress progress;
  if (control) {
    progress = [&control](std::size_t bytes_read, std::size_t bytes_in_all) {
      if (!control(bytes_read, bytes_in_all)) throw RunCancelled();
    };
  }
  std::vector<std::uint8_t> columns = read_array(array_text, source.name, progress);
  if (source.msb_top) {
    for (std::uint8_t& value : columns) value = reversed_bits(value);
  }
  return columns;
}

OutputSettings decoded_array_settings(OutputSettings chosen, bool lead_in_chosen,
                                      bool lead_out_chosen) {
  if (!lead_in_chosen) chosen.lead_in = 0;
  if (!lead_out_chosen) chosen.lead_out = 0;
  return chosen;
}

void write_decoded(std::span<const std::uint8_t> columns, const OutputSettings& settings,
                   ByteSink& out) {
  check(settings);
  check_array_length(columns.size(), settings, "the array");
  write_array(settings, columns, out);
}

Shown show_array(std::string_view array_text, const ArraySource& source,
                 const OutputSettings& chosen, int canvas_width, int canvas_height,
                 const RunControl& control) {
  const OutputSettings settings = decoded_array_settings(chosen, false, false);
  std::vector<std::uint8_t> columns = read_columns(array_text, source, control);
  GlyphCanvas canvas(canvas_width, canvas_height);
  std::vector<std::uint32_t> rows(std::min(columns.size(), static_cast<std::size_t>(canvas_width)));
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = std::uint32_t{columns[i]} << kFirstRow;
  canvas.paint_columns(0, rows);
  StringSink output;
  write_decoded(columns, settings, output);
  const StatusFigures figures = status_figures(settings, columns.size());
  return {shown_output(output.take(), settings.format),
          std::move(canvas),
          std::move(columns),
          figures,
          {}};
}

}  // namespace marquee8
