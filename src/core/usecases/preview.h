#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace marquee8 {

// The sampled rows as a picture, top row first: '#' for a set bit, '.' for a clear one, one
// line per row (bit 0 to bit 7), each ended by a line feed.
std::string preview(std::span<const std::uint8_t> column_values);

}  // namespace marquee8
