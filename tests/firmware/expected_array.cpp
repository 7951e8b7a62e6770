#include "expected_array.h"

#include "conversion.h"
#include "utf8_line.h"

namespace marquee8::testing {

std::vector<unsigned> expected_array(std::string_view text, const OutputSettings& settings) {
  std::vector<unsigned> array(static_cast<std::size_t>(settings.lead_in), 0);
  for (std::uint8_t value : Conversion().column_values(Utf8Line::check(text))) {
    unsigned stored = value;
    if (settings.msb_top) {
      stored = 0;
      for (int bit = 0; bit < 8; ++bit) stored |= ((value >> bit) & 1u) << (7 - bit);
    }
    array.push_back(stored);
  }
  array.insert(array.end(), static_cast<std::size_t>(settings.lead_out), 0);
  return array;
}

}  // namespace marquee8::testing
