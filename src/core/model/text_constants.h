#pragma once

#include <string_view>

namespace marquee8 {

// What the input box holds at start and what a terminal user gets without a text.
inline constexpr std::string_view kDefaultText = "825710";

// Drawn for every character the font lacks and for a lone UTF-16 surrogate.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

}  // namespace marquee8
