#pragma once

#include <string_view>

#include "output_settings.h"

namespace marquee8 {

// What the front ends show and decide about one output format.
struct FormatDescription {
  OutputFormat format;
  std::string_view name;        // as the command line and the settings file spell it
  std::string_view menu_label;  // as the Output menu shows it, '&' before its mnemonic
  std::string_view help;        // --help's lines after the name, '\n' between them
  bool text;                    // false: the bytes themselves, never shown as they are
  bool lives_in_ram;            // an AVR copies the array into RAM at start-up (2 KB on an Uno)
};

}  // namespace marquee8
