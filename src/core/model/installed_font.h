#pragma once

#include <optional>
#include <string>
#include <vector>

namespace marquee8 {

// One installed font file as fontconfig knows it.
struct InstalledFont {
  std::string family;
  std::vector<std::string> other_families;  // the family's names in other languages
  std::string style;
  std::string file;
  std::optional<int> pixel_size;  // a bitmap font's one strike; nothing for an outline font
  int characters = 0;
};

}  // namespace marquee8
