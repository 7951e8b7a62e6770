#pragma once

#include <iosfwd>
#include <string>

namespace marquee8 {

// Reads standard input up to its first line break, and only as far past it as it takes to see
// whether anything follows. When the break (LF, CR LF or a lone CR) ends the input, returns the
// line without it; otherwise what was read, for Utf8Line::check to refuse the second line.
// Stops with ConversionError (kTextTooLong) as soon as the line is longer than a conversion
// takes, and with std::system_error ("cannot read standard input: ...") on a read error.
std::string read_stdin_line(std::istream& in);

// All of standard input, for --decode. A read error is std::system_error ("cannot read
// standard input: ...").
std::string read_stdin(std::istream& in);

// All of the file at `path`; a failure is std::system_error naming the file as given.
std::string read_file(const std::string& path);

}  // namespace marquee8
