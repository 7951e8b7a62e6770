#include "output_formats.h"

#include <string>

#include "format_registry.h"

namespace marquee8 {

std::vector<FormatDescription> output_formats() {
  std::vector<FormatDescription> all;
  for (const ArrayFormat* format : array_formats()) all.push_back(format->description());
  return all;
}

const FormatDescription& format_description(OutputFormat format) {
  return array_format(format).description();
}

std::optional<OutputFormat> output_format_named(std::string_view name) {
  return format_named(name);
}

SuggestedFile suggested_file(OutputFormat format) {
  switch (format) {
    case OutputFormat::kMicroPython:
      return {"marquee8.py", "MicroPython source"};
    case OutputFormat::kRaw:
      return {"marquee8.bin", "Raw bytes"};
    case OutputFormat::kClassic:
    case OutputFormat::kProgmem:
    case OutputFormat::kC:
      break;
  }
  return {"marquee8.h", "C header"};
}

std::string format_names() {
  const auto formats = array_formats();
  std::string names;
  for (std::size_t i = 0; i < formats.size(); ++i) {
    if (i > 0) names += i + 1 == formats.size() ? " or " : ", ";
    names += formats[i]->description().name;
  }
  return names;
}

}  // namespace marquee8
