#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace marquee8 {

// Input that cannot be converted; the message names the problem and where it is.
class BadInput : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Decodes one line of UTF-8 for conversion. A leading byte-order mark, which some editors write,
// is not part of the text. Throws BadInput naming the byte offset, counted from the first byte
// given, of the first invalid sequence or line break: a marquee text is a single line.
std::u16string decode_line(std::string_view utf8);

// What standard input holds, made into one line: the one trailing line break (LF or CR LF) that
// ends a file or an echo is dropped.
std::string_view strip_line_ending(std::string_view input);

}  // namespace marquee8
