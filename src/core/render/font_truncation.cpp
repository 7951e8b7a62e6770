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

// The end of the furthest thing `count` records of `size` bytes from `at` point to, each as
// `points_to` reads it; or of the records themselves when they are cut short.
template <typename PointsTo>
std::uint64_t records_end(Bytes bytes, std::uint64_t at, std::uint64_t count, std::uint64_t size,
                          PointsTo points_to) {
  const std::uint64_t end = at + count * size;
  if (end > bytes.size()) return end;
  std::uint64_t furthest = end;
  for (std::uint64_t record = at; record < end; record += size) {
    furthest = std::max(furthest, points_to(static_cast<std::size_t>(record)));
  }
  return furthest;
}

// An sfnt table directory at `at`: a count at 4, then records of tag, checksum, offset, length.
std::uint64_t sfnt_end(Bytes bytes, std::size_t at) {
  if (at + 12 > bytes.size()) return at + 12;
  return records_end(bytes, at + 12, big_endian(bytes, at + 4, 2), 16, [&](std::size_t record) {
    return big_endian(bytes, record + 8, 4) + big_endian(bytes, record + 12, 4);
  });
}

// A TrueType collection: a count at 8, then the offset of each font's table directory.
std::uint64_t collection_end(Bytes bytes) {
  if (bytes.size() < 12) return 12;
  return records_end(bytes, 12, big_endian(bytes, 8, 4), 4, [&](std::size_t record) {
    const std::uint64_t font = big_endian(bytes, record, 4);
    return font < bytes.size() ? sfnt_end(bytes, static_cast<std::size_t>(font)) : font + 12;
  });
}

// A PCF: a count at 4, then records of type, format, size and offset. bdftopcf writes the last
// table's size past the end of the file, so only where the tables start is sure: a file cut
// short loses the start of every table after the cut.
std::uint64_t pcf_end(Bytes bytes) {
  if (bytes.size() < 8) return 8;
  return records_end(bytes, 8, little_endian(bytes, 4, 4), 16,
                     [&](std::size_t record) { return little_endian(bytes, record + 12, 4) + 1; });
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
