#include "array_text.h"

#include <charconv>
#include <stdexcept>

namespace marquee8 {

namespace {

constexpr std::string_view kHead = "byte a[]={0,0,0,0,0,0,0,0,";
constexpr std::size_t kLeadIn = 8;

// Every number keeps a sign position, a space unless it is negative, so that our arrays stay
// byte-identical to the ones marquee firmware already carries.
void append_number(std::string& text, long long number) {
  char digits[24];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, number);
  if (number >= 0) text += ' ';
  text.append(digits, end);
}

}  // namespace

std::string array_text(std::span<const std::uint8_t> column_values) {
  if (column_values.empty()) throw std::invalid_argument("an array needs at least one value");

  std::string text;
  text.reserve(kHead.size() + column_values.size() * 5 + 24);
  text += kHead;
  for (std::size_t i = 0; i + 1 < column_values.size(); ++i) {
    append_number(text, column_values[i]);
    text += ',';
  }
  append_number(text, column_values.back());
  text += "};\r\nint slen=";
  append_number(text, static_cast<long long>(kLeadIn + column_values.size() - 1));
  text += ';';
  return text;
}

}  // namespace marquee8
