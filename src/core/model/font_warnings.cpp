#include "font_warnings.h"

#include <utf8.h>

#include <cstdio>
#include <iterator>

namespace marquee8 {

namespace {

constexpr std::size_t kNamedAtMost = 12;

std::string character(char32_t code_point) {
  char number[16];
  std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(code_point));
  // Control characters and the like would garble the message: the code point says enough.
  if (code_point < 0x20 || (code_point >= 0x7F && code_point < 0xA0) || code_point > 0x10FFFF ||
      (code_point >= 0xD800 && code_point <= 0xDFFF)) {
    return number;
  }
  std::string text = "'";
  utf8::append(code_point, std::back_inserter(text));
  return text + "' (" + number + ")";
}

std::string line(const char* what, const std::vector<char32_t>& characters) {
  std::string text = what;
  for (std::size_t i = 0; i < characters.size() && i < kNamedAtMost; ++i) {
    text += (i == 0 ? ": " : ", ") + character(characters[i]);
  }
  if (characters.size() > kNamedAtMost) {
    text += " and " + std::to_string(characters.size() - kNamedAtMost) + " more";
  }
  return text;
}

}  // namespace

std::vector<std::string> describe(const FontWarnings& warnings, std::string_view own_widths) {
  std::vector<std::string> lines;
  const std::pair<const char*, const std::vector<char32_t>*> kinds[] = {
      {"missing from the font", &warnings.missing},
      {"blank in the font", &warnings.blank},
      {"clipped: ink above row 1 or below row 8", &warnings.clipped},
      {"wider than their 6 columns: ink in the neighbours' columns", &warnings.spilling}};
  for (const auto& [what, characters] : kinds) {
    if (!characters->empty()) lines.push_back(line(what, *characters));
  }
  if (!warnings.spilling.empty()) {
    lines.back() += "; " + std::string(own_widths) + " gives each character its own width";
  }
  return lines;
}

}  // namespace marquee8
