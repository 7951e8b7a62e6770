#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "array_format.h"
#include "output_settings.h"

namespace marquee8 {

// Each format's own file defines one of these.
const ArrayFormat& classic_format();
const ArrayFormat& progmem_format();
const ArrayFormat& c_format();
const ArrayFormat& micropython_format();
const ArrayFormat& raw_format();

// Every output format, in the order the help and the Output menu list them.
std::span<const ArrayFormat* const> array_formats();
const ArrayFormat& array_format(OutputFormat format);
std::optional<OutputFormat> format_named(std::string_view name);

}  // namespace marquee8
