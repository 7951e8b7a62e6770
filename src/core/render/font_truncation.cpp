#include "font_truncation.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace marquee8 {

namespace {

using Bytes = std::span<const unsigned char>;

std::uint64_t big_endian(Bytes bytes, std::size_t at, int size) {
  std::uint64_t value = 0;
  for (int i = 0; i < size; ++i) value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
  return value;
}

std::uint64_t little_endian(Bytes bytes, std::size_t at, int size) {
  std::uint64_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
  return value;
}

bool starts_with(Bytes bytes, std::string_view magic) {
  return bytes.size() >= magic.size() &&
         std::equal(magic.begin(), magic.end(), bytes.begin(),
                    [](char a, unsigned char b) { return static_cast<unsigned char>(a) == b; });
}

std::string ends_before(Bytes bytes, std::uint64_t needed) {
  return "it is " + std::to_string(bytes.size()) + " bytes long, and its tables run to at least " +
         std::to_string(needed);
}

// The end of the furthest table an sfnt table directory at `at` lists, or of the directory
// itself when that is cut short.
std::uint64_t sfnt_end(Bytes bytes, std::size_t at) {
  if (at + 12 > bytes.size()) return at + 12;
  const std::uint64_t tables = big_endian(bytes, at + 4, 2);
  const std::uint64_t directory_end = at + 12 + 16 * tables;
  if (directory_end > bytes.size()) return directory_end;
  std::uint64_t end = directory_end;
  for (std::size_t record = at + 12; record < directory_end; record += 16) {
    end = std::max(end, big_endian(bytes, record + 8, 4) + big_endian(bytes, record + 12, 4));
  }
  return end;
}

std::uint64_t collection_end(Bytes bytes) {
  if (bytes.size() < 12) return 12;
  const std::uint64_t fonts = big_endian(bytes, 8, 4);
  const std::uint64_t offsets_end = 12 + 4 * fonts;
  if (offsets_end > bytes.size()) return offsets_end;
  std::uint64_t end = offsets_end;
  for (std::size_t entry = 12; entry < offsets_end; entry += 4) {
    const std::uint64_t font = big_endian(bytes, entry, 4);
    end = std::max(end, font < bytes.size() ? sfnt_end(bytes, font) : font + 12);
  }
  return end;
}

// bdftopcf writes the last table's size past the end of the file, so only where the tables
// start is sure: a file cut short loses the start of every table after the cut.
std::uint64_t pcf_end(Bytes bytes) {
  if (bytes.size() < 8) return 8;
  const std::uint64_t tables = little_endian(bytes, 4, 4);
  const std::uint64_t directory_end = 8 + 16 * tables;
  if (directory_end > bytes.size()) return directory_end;
  std::uint64_t end = directory_end;
  for (std::size_t entry = 8; entry < directory_end; entry += 16) {
    end = std::max(end, little_endian(bytes, entry + 12, 4) + 1);
  }
  return end;
}

std::optional<std::string> cut_short(Bytes bytes, std::uint64_t end) {
  if (end <= bytes.size()) return std::nullopt;
  return ends_before(bytes, end);
}

}  // namespace

std::optional<std::string> truncation(std::span<const unsigned char> font) {
  if (starts_with(font, std::string_view("\0\1\0\0", 4)) || starts_with(font, "OTTO") ||
      starts_with(font, "true") || starts_with(font, "typ1")) {
    return cut_short(font, sfnt_end(font, 0));
  }
  if (starts_with(font, "ttcf")) return cut_short(font, collection_end(font));
  if (starts_with(font, "\1fcp")) return cut_short(font, pcf_end(font));
  if (starts_with(font, "STARTFONT")) {
    const std::string_view text(reinterpret_cast<const char*>(font.data()), font.size());
    if (text.find("\nENDFONT") == std::string_view::npos) return "it has no ENDFONT line";
  }
  return std::nullopt;
}

}  // namespace marquee8
