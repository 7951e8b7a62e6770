#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "glyph_canvas.h"
#include "output_settings.h"
#include "status.h"

namespace marquee8 {

// What a run puts on screen, in the window or on the web page.
struct Shown {
  std::string output;               // the output box's text
  GlyphCanvas canvas;               // the drawn columns, cut to the canvas asked for
  std::vector<std::uint8_t> array;  // every column, leads included, bit 0 the top row
  StatusFigures figures;
  std::vector<std::string> font_warnings;  // one line each
};

// The output as a box shows it: without the final line break, and raw bytes, which cannot be
// shown as they are, as two hex digits each.
std::string shown_output(std::string output, OutputFormat format);

}  // namespace marquee8
