#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "format_description.h"

namespace marquee8 {

// Every output format as the front ends list it: the help's and the Output menu's order.
std::vector<FormatDescription> output_formats();
const FormatDescription& format_description(OutputFormat format);
std::optional<OutputFormat> output_format_named(std::string_view name);
// The name a save or download of `format` suggests, and what a file dialog calls such files.
struct SuggestedFile {
  std::string_view name;  // "marquee8.h"
  std::string_view kind;  // "C header"
};
SuggestedFile suggested_file(OutputFormat format);

// "classic, progmem, c, micropython or raw", for messages that list them.
std::string format_names();

}  // namespace marquee8
