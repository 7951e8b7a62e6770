#include "terminal_text.h"

#include <utf8.h>

#include <cstdio>

namespace marquee8 {

namespace {

bool reorders_or_breaks(char32_t code_point) {
  return code_point < 0x20 || (code_point >= 0x7F && code_point <= 0x9F) || code_point == 0x061C ||
         code_point == 0x200E || code_point == 0x200F ||
         (code_point >= 0x2028 && code_point <= 0x202E) ||
         (code_point >= 0x2066 && code_point <= 0x2069);
}

void append_code(std::string& out, const char* format, unsigned value) {
  char code[16];
  std::snprintf(code, sizeof code, format, value);
  out += code;
}

}  // namespace

std::string terminal_safe(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (auto next = text.begin(); next != text.end();) {
    const auto start = next;
    try {
      const char32_t code_point = utf8::next(next, text.end());
      if (reorders_or_breaks(code_point)) {
        append_code(out, "U+%04X", static_cast<unsigned>(code_point));
      } else {
        out.append(start, next);
      }
    } catch (const utf8::exception&) {
      append_code(out, "\\x%02X", static_cast<unsigned char>(*start));
      next = start + 1;
    }
  }
  return out;
}

}  // namespace marquee8
