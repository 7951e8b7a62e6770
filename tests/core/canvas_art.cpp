#include "canvas_art.h"

namespace marquee8::testing {

std::string art(const GlyphCanvas& canvas, int first_row, int last_row, int columns) {
  std::string picture;
  for (int y = first_row; y <= last_row; ++y) {
    for (int x = 0; x < columns; ++x) picture += canvas.inked(x, y) ? '#' : '.';
    picture += '\n';
  }
  return picture;
}

std::vector<std::uint8_t> values_from_art(std::initializer_list<std::string_view> rows) {
  std::vector<std::uint8_t> values(rows.begin()->size());
  int bit = 0;
  for (const std::string_view row : rows) {
    for (std::size_t x = 0; x < row.size(); ++x) {
      if (row[x] == '#') values[x] |= static_cast<std::uint8_t>(1 << bit);
    }
    ++bit;
  }
  return values;
}

std::string lines(std::initializer_list<std::string_view> rows) {
  std::string picture;
  for (const std::string_view row : rows) (picture += row) += '\n';
  return picture;
}

}  // namespace marquee8::testing
