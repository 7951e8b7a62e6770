#pragma once

#include <algorithm>
#include <iterator>
#include <string_view>

namespace marquee8 {

// What the array reader and the array finder both know of C and Python source text.

inline bool is_digit(char c) { return c >= '0' && c <= '9'; }
inline bool is_letter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

template <std::size_t N>
bool contains(const std::string_view (&words)[N], std::string_view word) {
  return std::find(std::begin(words), std::end(words), word) != std::end(words);
}

// Words that may come before or after a C array's type without changing it.
inline constexpr std::string_view kQualifiers[] = {"const", "static", "constexpr", "PROGMEM"};
// The C types of a byte array's elements, words joined by one space.
inline constexpr std::string_view kByteTypes[] = {"byte", "uint8_t", "unsigned char",
                                                  "prog_uint8_t", "prog_uchar"};

}  // namespace marquee8
