#include "format_registry.h"

#include <algorithm>
#include <array>

namespace marquee8 {

std::span<const ArrayFormat* const> array_formats() {
  // A new format: its file, an OutputFormat value, and a row here.
  static const std::array<const ArrayFormat*, 5> kFormats = {
      &classic_format(), &progmem_format(), &c_format(), &micropython_format(), &raw_format(),
  };
  return kFormats;
}

const ArrayFormat& array_format(OutputFormat format) {
  const auto formats = array_formats();
  return **std::find_if(formats.begin(), formats.end(), [&](const ArrayFormat* entry) {
    return entry->description().format == format;
  });
}

std::optional<OutputFormat> format_named(std::string_view name) {
  for (const ArrayFormat* entry : array_formats()) {
    if (entry->description().name == name) return entry->description().format;
  }
  return std::nullopt;
}

}  // namespace marquee8
