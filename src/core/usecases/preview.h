#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "output_settings.h"

namespace marquee8 {

// The sampled rows as a picture, top row first: '#' for a set bit, '.' for a clear one, one
// line per row (bit 0 to bit 7), each ended by a line feed.
std::string preview(std::span<const std::uint8_t> column_values);

// The text's own columns with the blank lead-in and lead-out columns `settings` add: the whole
// array as firmware walks it, bit 0 the top row.
std::vector<std::uint8_t> with_leads(std::span<const std::uint8_t> column_values,
                                     const OutputSettings& settings);

}  // namespace marquee8
