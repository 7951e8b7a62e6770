#include "decode.h"

#include "array_reader.h"
#include "array_text.h"
#include "sampled_rows.h"

namespace marquee8 {

std::vector<std::uint8_t> read_back(std::string_view array_text, bool msb_top) {
  std::vector<std::uint8_t> columns = read_array(array_text);
  if (msb_top) {
    for (std::uint8_t& value : columns) value = reversed_bits(value);
  }
  return columns;
}

void write_read_back(const OutputSettings& settings, std::span<const std::uint8_t> columns,
                     ByteSink& out) {
  OutputSettings no_leads = settings;
  no_leads.lead_in = no_leads.lead_out = 0;
  write_array(no_leads, columns, out);
}

std::string without_final_line_break(std::string output, OutputFormat format) {
  if (is_text(format)) output.resize(output.size() - (output.ends_with("\r\n") ? 2 : 1));
  return output;
}

}  // namespace marquee8
