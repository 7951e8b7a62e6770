#include "array_text_parser.h"

namespace marquee8 {

namespace {

// Reads " N" from the front of `text`: one space, then digits without a leading zero.
std::optional<std::uint64_t> take_number(std::string_view& text, std::size_t max_digits) {
  if (!text.starts_with(' ')) return std::nullopt;
  text.remove_prefix(1);
  std::size_t digits = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
  if (digits == 0 || digits > max_digits || (digits > 1 && text[0] == '0')) return std::nullopt;
  std::uint64_t number = 0;
  for (const char digit : text.substr(0, digits)) number = number * 10 + (digit - '0');
  text.remove_prefix(digits);
  return number;
}

bool take(std::string_view& text, std::string_view expected) {
  if (!text.starts_with(expected)) return false;
  text.remove_prefix(expected.size());
  return true;
}

}  // namespace

std::optional<ParsedArrayText> parse_array_text(std::string_view text) {
  if (!take(text, "byte a[]={0,0,0,0,0,0,0,0,")) return std::nullopt;
  ParsedArrayText parsed;
  do {
    const auto value = take_number(text, 3);
    if (!value || *value > 255) return std::nullopt;
    parsed.column_values.push_back(static_cast<std::uint8_t>(*value));
  } while (take(text, ","));
  if (!take(text, "};\r\nint slen=")) return std::nullopt;
  const auto slen = take_number(text, 19);
  if (!slen || text != ";") return std::nullopt;
  parsed.slen = *slen;
  return parsed;
}

}  // namespace marquee8
