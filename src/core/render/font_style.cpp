#include "font_catalog.h"

// Apart from fontconfig's catalogue, so that a build without fontconfig has it too.
namespace marquee8 {

bool is_regular_style(std::string_view style) {
  return style.empty() || style == "Regular" || style == "Medium" || style == "Book";
}

}  // namespace marquee8
