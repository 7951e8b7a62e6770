#pragma once

#include <optional>
#include <string>

#include "output_settings.h"

namespace marquee8 {

// Why `settings` cannot be written, naming the first setting at fault: a lead outside 0 to
// 65535, a name that is no identifier of the format's language or is one of its reserved
// words, the two names alike, ASCII art for raw bytes. Nothing when they can be written.
std::optional<std::string> settings_problem(const OutputSettings& settings);

}  // namespace marquee8
