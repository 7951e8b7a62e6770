#pragma once

#include <cstddef>
#include <string_view>

namespace marquee8 {

// One line of UTF-8 that has been checked for conversion: valid UTF-8, no line break, a leading
// byte-order mark (which some editors write) removed. Holds a view: the bytes must outlive it.
class Utf8Line {
 public:
  // Throws ConversionError (kInvalidText) naming the byte offset, counted from the first byte
  // given, of the first invalid sequence or line break; kTextTooLong past the longest text.
  static Utf8Line check(std::string_view bytes);

  std::string_view bytes() const { return bytes_; }
  // The length as the window's text box counts it: UTF-16 code units.
  std::size_t code_units() const { return code_units_; }

 private:
  Utf8Line(std::string_view bytes, std::size_t code_units)
      : bytes_(bytes), code_units_(code_units) {}

  std::string_view bytes_;
  std::size_t code_units_;
};

// Where the first CR or LF of `bytes` is, or bytes.size(). (std::string_view::find_first_of
// searches its set once a byte, several times slower on long texts.)
std::size_t find_line_break(std::string_view bytes);

// UTF-16 code units `bytes` would take: one per sequence, two for one outside the BMP. Exact
// for valid UTF-8; never less than exact for anything else.
std::size_t utf16_length(std::string_view bytes);

}  // namespace marquee8
