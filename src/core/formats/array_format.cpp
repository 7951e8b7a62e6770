#include "array_format.h"

#include "sampled_rows.h"

namespace marquee8 {

void ArrayFormat::line(ArrayText& text, std::string_view content) const {
  text.pending += content;
  text.pending += line_end();
}

void ArrayFormat::write_art(ArrayText& text) const {
  const auto lead_in = static_cast<std::size_t>(text.settings.lead_in);
  const auto lead_out = static_cast<std::size_t>(text.settings.lead_out);
  for (int bit = 0; bit < 8; ++bit) {
    text.pending += comment();
    text.pending.append(lead_in, '.');
    append_row(text.pending, text.art_columns, bit);
    text.pending.append(lead_out, '.');
    text.pending += line_end();
    text.flush_if_full();
  }
}

}  // namespace marquee8
