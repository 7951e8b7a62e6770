#include "utf8_line.h"

#include <utf8.h>

#include <algorithm>
#include <string>

#include "conversion_error.h"
#include "text_limits.h"

namespace marquee8 {

std::size_t utf16_length(std::string_view bytes) {
  std::size_t units = 0;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    units += (byte & 0xC0) != 0x80;  // every sequence starts with a byte that is no continuation
    units += byte >= 0xF0;           // a four-byte sequence is a surrogate pair
  }
  return units;
}

std::size_t find_line_break(std::string_view bytes) {
  return static_cast<std::size_t>(
      std::find_if(bytes.begin(), bytes.end(), [](char c) { return c == '\r' || c == '\n'; }) -
      bytes.begin());
}

Utf8Line Utf8Line::check(std::string_view bytes) {
  const std::size_t line_break = find_line_break(bytes);
  const auto invalid = utf8::find_invalid(bytes.begin(), bytes.begin() + line_break);
  if (invalid != bytes.begin() + line_break) {
    throw ConversionError(ConversionError::Kind::kInvalidText,
                          "invalid UTF-8 at byte " + std::to_string(invalid - bytes.begin()));
  }
  if (line_break != bytes.size()) {
    throw ConversionError(ConversionError::Kind::kInvalidText,
                          "the text has a line break at byte " + std::to_string(line_break) +
                              "; a marquee shows one line");
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  const std::size_t units = utf16_length(bytes);
  check_length(units);
  return {bytes, units};
}

}  // namespace marquee8
