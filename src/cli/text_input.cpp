#include "text_input.h"

#include <utf8.h>

#include <iterator>

namespace marquee8 {

std::u16string decode_line(std::string_view utf8) {
  const auto invalid = utf8::find_invalid(utf8.begin(), utf8.end());
  if (invalid != utf8.end()) {
    throw BadInput("invalid UTF-8 at byte " + std::to_string(invalid - utf8.begin()));
  }
  const auto line_break = utf8.find_first_of("\r\n");
  if (line_break != std::string_view::npos) {
    throw BadInput("the text has a line break at byte " + std::to_string(line_break) +
                   "; a marquee shows one line");
  }
  if (utf8.starts_with("\xEF\xBB\xBF")) utf8.remove_prefix(3);
  std::u16string text;
  text.reserve(utf8.size());
  utf8::unchecked::utf8to16(utf8.begin(), utf8.end(), std::back_inserter(text));
  return text;
}

std::string_view strip_line_ending(std::string_view input) {
  if (input.ends_with("\r\n")) {
    input.remove_suffix(2);
  } else if (input.ends_with('\n')) {
    input.remove_suffix(1);
  }
  return input;
}

}  // namespace marquee8
