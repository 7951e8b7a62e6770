#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "byte_sink.h"
#include "output_settings.h"

namespace marquee8 {

// An array read back (`marquee8 --decode`): every value as written, leads included, with bit 0
// the top row; with `msb_top` the values are read as bit 7 at the top, so that a picture of
// them stands upright. Throws ConversionError (kUnreadableArray) naming the line and column.
std::vector<std::uint8_t> read_back(std::string_view array_text, bool msb_top);

// Writes the values read back in `settings`' format, adding no lead columns: the array already
// holds its own. Exactly what `marquee8 --decode` writes without --lead-in or --lead-out.
void write_read_back(const OutputSettings& settings, std::span<const std::uint8_t> columns,
                     ByteSink& out);

// A text output as the output box shows it: without its final line break. Raw bytes stay as
// they are.
std::string without_final_line_break(std::string output, OutputFormat format);

}  // namespace marquee8
