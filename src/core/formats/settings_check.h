#pragma once

#include "output_settings.h"

namespace marquee8 {

// Throws ConversionError (kInvalidSettings) naming the first setting that cannot be written:
// a lead outside 0 to kMaxLead, a name that is no identifier of the format's language or is one
// of its keywords, the two names alike, or ASCII art for raw bytes.
void check(const OutputSettings& settings);

}  // namespace marquee8
