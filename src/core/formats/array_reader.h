#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marquee8 {

// Reads back the one byte array of a C or Python source text: whatever ArrayWriter writes in a
// text format, and the same written by hand. Returns the elements exactly as written, lead-in
// zeros included and no bits reversed.
//
// A text that is not the array alone (a whole sketch, header or module) is read from the byte
// array declared at its file scope (see array_finder.h): the one `name` names, or else its only
// one. Several, none of that name, one inside #if or one a #define could change are refused,
// the arrays listed; a text with none is refused as the rules below say.
//
// C: `byte`, `uint8_t`, `unsigned char`, `prog_uint8_t` or `prog_uchar`, with `const`, `static`,
// `constexpr` and `PROGMEM` (also after `]`), then `name[] = {...};` or `name[N]` where N is the
// number of values. Values are decimal, 0x hex, 0 octal, 0b binary or Arduino's B constants
// (B0 to B11111111), with u/U/l/L suffixes; a trailing comma is fine. Comments are // and /* */;
// #include and #pragma lines are passed over.
//
// Python: `name = bytes((...))`, `bytes([...])` or `bytearray(...)` of the same, values decimal,
// 0x, 0o or 0b; # comments.
//
// Names are any identifier the writer accepts (see reserved_names.h). A UTF-8 byte-order mark
// at the start is passed over, as is a carriage return at the very end.
//
// Both: any number of integer declarations (`int slen= 44;`, `slen = 44`) before or after, whose
// values are not checked. Anything else throws ConversionError (kUnreadableArray) whose message
// starts "line L, column C: " (1-based, columns in characters): binary data ("not text"), a
// text longer than kMaxArrayTextBytes, a second array, a name declared
// twice, a value that is no byte, #define or another directive, an empty array, C's implicit
// zero fill, a size or value given by a name, and any text that is not one of the above.
//
// `progress`, when given, is told every 64 KiB or so how many of the text's bytes are read; it
// may throw to stop the reading.
using ReadingProgress = std::function<void(std::size_t bytes_read, std::size_t bytes_in_all)>;
std::vector<std::uint8_t> read_array(std::string_view text,
                                     const std::optional<std::string>& name = {},
                                     const ReadingProgress& progress = {});

// The longest array text read. The largest boards have 16 MB of flash, and an array that
// fills it takes under 240 MiB in the most verbose format (hex with ASCII art).
inline constexpr std::size_t kMaxArrayTextBytes = 256u << 20;

// Throws ConversionError (kUnreadableArray: "the array is too long: ...") for more than
// kMaxArrayTextBytes; a reader of a stream calls it as the bytes come, to stop at once.
void check_array_text_size(std::size_t bytes);

// A byte no source text holds (NUL and the other control characters but blanks and line
// ends): a reader of a stream can stop at the first, which read_array refuses as "not text".
bool is_binary_byte(char byte);

}  // namespace marquee8
