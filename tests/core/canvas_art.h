#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "glyph_canvas.h"

namespace marquee8::testing {

// Rows first_row..last_row of columns 0..columns-1, one line each: '#' ink, '.' background.
std::string art(const GlyphCanvas& canvas, int first_row, int last_row, int columns);

// The column values a picture of the sampled rows stands for: the first line is bit 0.
std::vector<std::uint8_t> values_from_art(std::initializer_list<std::string_view> rows);

// Joins picture lines the way art() writes them.
std::string lines(std::initializer_list<std::string_view> rows);

}  // namespace marquee8::testing
