#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace marquee8 {

// The flash image an Intel HEX text describes: every byte from address 0 to the last one it
// writes, those it does not write erased (0xFF). Throws LinkError naming the first bad line.
std::vector<std::uint8_t> read_intel_hex(std::string_view text);

}  // namespace marquee8
