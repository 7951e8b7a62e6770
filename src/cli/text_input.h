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

// Decodes one line of UTF-8 for conversion. Throws BadInput naming the byte offset of the first
// invalid sequence or line break: a marquee text is a single line.
std::u16string decode_line(std::string_view utf8);

// What standard input holds, made into one line: a leading byte-order mark and one trailing
// line break (LF or CR LF) are dropped, as editors add them.
std::string_view strip_line_ending(std::string_view input);

}  // namespace marquee8
