#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "array_format.h"

namespace marquee8 {

// The element layout of every text format but classic: 16 values a line, each line indented
// by `indent`, a comma after every value but C's last (a Python tuple of one needs its comma).
void add_listed_values(ArrayText& text, std::span<const std::uint8_t> values,
                       std::string_view indent, bool comma_after_last);

// The close of a C array and its length: `};` and `const uint16_t slen = 44;`, the length's
// type wide enough for its value.
void close_c_array(const ArrayFormat& format, ArrayText& text, std::size_t last_index);

}  // namespace marquee8
