#pragma once

#include <iosfwd>
#include <optional>
#include <string>

namespace marquee8 {

// Reads standard input up to its first line break, and only as far past it as it takes to see
// whether anything follows. When the break (LF, CR LF or a lone CR) ends the input, returns the
// line without it; otherwise what was read, for Utf8Line::check to refuse the second line.
// Nothing when the input ends before its first byte. Stops with ConversionError (kTextTooLong)
// as soon as the line is longer than a conversion takes, and with std::system_error ("cannot
// read standard input: ...") on a read error.
std::optional<std::string> read_stdin_line(std::istream& in);

// For --decode: all of standard input, or of the file at `path`, up to and including the first
// byte no text holds (so that the array reader names it at once, even in an endless stream).
// Stops with ConversionError ("the array is too long") past the longest array text read. A read
// error is std::system_error ("cannot read standard input: ...", or naming the file as given).
std::string read_array_stdin(std::istream& in);
std::string read_array_file(const std::string& path);

}  // namespace marquee8
