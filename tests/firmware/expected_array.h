#pragma once

#include <string_view>
#include <vector>

#include "output_settings.h"

namespace marquee8::testing {

// What the array must hold: the columns as sampled, blank leads around them, bits reversed
// for bit 7 at the top.
std::vector<unsigned> expected_array(std::string_view text, const OutputSettings& settings);

}  // namespace marquee8::testing
