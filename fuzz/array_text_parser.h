#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace marquee8 {

// The numbers an array text declares, read back without trusting the code that wrote it.
struct ParsedArrayText {
  std::vector<std::uint8_t> column_values;  // the values after the eight lead-in zeros
  std::uint64_t slen = 0;
};

// Accepts only the exact layout the firmware expects: the head with eight lead-in zeros, at
// least one value written as a space and 0-255 without leading zeros, "};", CR LF, the slen
// line, and nothing after it. Returns nothing for any deviation.
std::optional<ParsedArrayText> parse_array_text(std::string_view text);

}  // namespace marquee8
