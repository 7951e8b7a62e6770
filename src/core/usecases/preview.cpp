#include "preview.h"

#include "sampled_rows.h"

namespace marquee8 {

std::string preview(std::span<const std::uint8_t> column_values) {
  std::string picture;
  picture.reserve((column_values.size() + 1) * 8);
  for (int bit = 0; bit < 8; ++bit) {
    append_row(picture, column_values, bit);
    picture += '\n';
  }
  return picture;
}

std::vector<std::uint8_t> with_leads(std::span<const std::uint8_t> column_values,
                                     const OutputSettings& settings) {
  std::vector<std::uint8_t> all;
  all.reserve(static_cast<std::size_t>(settings.lead_in) + column_values.size() +
              static_cast<std::size_t>(settings.lead_out));
  all.insert(all.end(), static_cast<std::size_t>(settings.lead_in), 0);
  all.insert(all.end(), column_values.begin(), column_values.end());
  all.insert(all.end(), static_cast<std::size_t>(settings.lead_out), 0);
  return all;
}

}  // namespace marquee8
