#include "preview.h"

namespace marquee8 {

std::string preview(std::span<const std::uint8_t> column_values) {
  std::string picture;
  picture.reserve((column_values.size() + 1) * 8);
  for (int bit = 0; bit < 8; ++bit) {
    for (const std::uint8_t value : column_values) picture += (value >> bit) & 1 ? '#' : '.';
    picture += '\n';
  }
  return picture;
}

}  // namespace marquee8
