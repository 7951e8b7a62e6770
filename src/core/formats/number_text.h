#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace marquee8 {

// Formatting the values is most of a long conversion's work, so they come from tables.
struct NumberText {
  std::array<char, 8> chars{};
  std::size_t size = 0;
  std::string_view view() const { return {chars.data(), size}; }
};

// Every byte's digits, decimal or 0x hex; `before` is what precedes each number: nothing, or
// the classic ", " (a comma, then the space every classic number keeps for its sign).
constexpr std::array<NumberText, 256> number_texts(bool hex, std::string_view before = {}) {
  constexpr std::string_view kDigits = "0123456789ABCDEF";
  std::array<NumberText, 256> texts{};
  for (int value = 0; value < 256; ++value) {
    NumberText& text = texts[value];
    for (const char c : before) text.chars[text.size++] = c;
    if (hex) {
      for (const char c : {'0', 'x', kDigits[value / 16], kDigits[value % 16]}) {
        text.chars[text.size++] = c;
      }
    } else {
      if (value >= 100) text.chars[text.size++] = kDigits[value / 100];
      if (value >= 10) text.chars[text.size++] = kDigits[value / 10 % 10];
      text.chars[text.size++] = kDigits[value % 10];
    }
  }
  return texts;
}

inline constexpr std::array<NumberText, 256> kDecimalTexts = number_texts(false);
inline constexpr std::array<NumberText, 256> kHexTexts = number_texts(true);

inline const std::array<NumberText, 256>& number_texts_for(bool hex) {
  return hex ? kHexTexts : kDecimalTexts;
}

}  // namespace marquee8
