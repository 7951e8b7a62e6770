#pragma once

#include <optional>

namespace marquee8 {

// Reads marquee8-gui's command line before any window system is started, so that --help,
// --version and usage errors work without a display. Prints what was asked for and returns the
// exit status, or returns nothing when the window should open.
std::optional<int> handle_gui_command_line(int argc, char** argv);

}  // namespace marquee8
