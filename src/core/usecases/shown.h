#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "conversion.h"
#include "glyph_canvas.h"
#include "output_settings.h"
#include "status.h"
#include "utf8_line.h"

namespace marquee8 {

// What a Start, or an array read back, puts on screen.
struct Shown {
  std::string output;  // as the output box shows it: no final line break, raw bytes in hex
  GlyphCanvas canvas;  // the drawn columns (an array read back: its values on rows 1 to 8)
  std::vector<std::uint8_t> array;  // every column, leads included, bit 0 the top row
  StatusFigures status;
  std::vector<std::string> font_warnings;  // one line each
};

// The Start command for a front end that holds UTF-8. Throws what Conversion::start throws.
Shown show_start(Conversion& conversion, const Utf8Line& text,
                 int canvas_width = GlyphCanvas::kDefaultWidth,
                 int canvas_height = GlyphCanvas::kDefaultHeight);

// An array pasted or opened, shown as a Start shows a text, its values in `settings`' format
// (see read_back). Throws ConversionError (kUnreadableArray, kInvalidSettings).
Shown show_array(std::string_view array_text, const OutputSettings& settings,
                 int canvas_width = GlyphCanvas::kDefaultWidth,
                 int canvas_height = GlyphCanvas::kDefaultHeight);

}  // namespace marquee8
