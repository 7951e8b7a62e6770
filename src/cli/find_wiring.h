#pragma once

#include <optional>
#include <string>

#include "cli.h"
#include "module_wiring.h"

namespace marquee8 {

// --find-wiring: the wiring wizard in a terminal. The board on `port` shows its test pattern;
// the questions and their pictures go to standard error, the numbers picked come from standard
// input. With `modules` the board is told the count first. Returns the layout the board keeps;
// throws LinkError, or std::runtime_error when standard input ends unanswered, leaving the
// board's layout as it was.
ModuleLayout ask_wiring(const std::string& port, std::optional<int> modules,
                        const Console& console);

}  // namespace marquee8
