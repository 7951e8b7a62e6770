#pragma once

#include <optional>
#include <span>
#include <string>

namespace marquee8 {

// Whether a font file FreeType refused was cut short: a TrueType or OpenType file (or a
// collection of them) or a PCF whose table directory points past the end, or a BDF without its
// ENDFONT line. Returns how, as the end of "truncated: ...", or nothing when it is not.
std::optional<std::string> truncation(std::span<const unsigned char> font);

}  // namespace marquee8
