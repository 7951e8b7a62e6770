#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace marquee8 {

// Reads back the one byte array of a C or Python source text: whatever ArrayWriter writes in a
// text format, and the same written by hand. Returns the elements exactly as written, lead-in
// zeros included and no bits reversed.
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
// Both: any number of integer declarations (`int slen= 44;`, `slen = 44`) before or after, whose
// values are not checked. Anything else throws ConversionError (kUnreadableArray) whose message
// starts "line L, column C: " (1-based, columns in bytes): a second array, a name declared
// twice, a value that is no byte, #define or another directive, an empty array, C's implicit
// zero fill, a size or value given by a name, and any text that is not one of the above.
std::vector<std::uint8_t> read_array(std::string_view text);

}  // namespace marquee8
