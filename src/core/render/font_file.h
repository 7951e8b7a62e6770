#pragma once

#include <string>
#include <vector>

namespace marquee8 {

// The largest font file read, and the most a compressed one may inflate to: far above any real
// font (a CJK collection is some 30 MB), far below what would starve the machine.
inline constexpr std::size_t kMaxFontBytes = 256u << 20;

// The whole font file at `path` in memory, inflated if it is gzip-compressed (a .pcf.gz), so
// that nothing read later depends on the file staying as it was. Throws ConversionError
// (kFontUnusable) naming the font as given and saying why in words: it cannot be opened, is a
// directory, a pipe or a device rather than a regular file, is empty, is larger than
// kMaxFontBytes or inflates past it, is cut short, or is damaged gzip data.
std::vector<unsigned char> read_font_file(const std::string& path);

}  // namespace marquee8
