#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "font_settings.h"
#include "output_settings.h"

namespace marquee8 {

// A command line that cannot be run; the message says what is wrong with it.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct CliOptions {
  std::optional<std::string> text;  // with --decode: the FILE holding the array
  std::optional<std::string> output;
  FontSettings font;
  OutputSettings settings;
  bool lead_in_given = false;  // with --lead-out: the preview shows the leads too
  bool lead_out_given = false;
  bool decode = false;
  bool list_fonts = false;
  bool preview = false;
  bool help = false;
  bool version = false;
  std::optional<std::string> send;     // the serial port of the board to send the text to
  int step_ms = 40;                    // with send: the board's column step
  int brightness = 2;                  // with send: 0 to 15
  std::optional<std::string> receive;  // the serial port of the board to read the message from
  bool list_ports = false;
};

inline constexpr std::string_view kUsage =
    "Usage: marquee8 [OPTIONS] [TEXT]\n"
    "       marquee8 --decode [OPTIONS] [FILE]\n"
    "       marquee8 --send=PORT [OPTIONS] [TEXT]\n"
    "       marquee8 --receive=PORT [OPTIONS]\n";
// What --help prints after the usage lines.
std::string help_text();

// Throws UsageError for an unknown option, a missing or malformed value, more than one TEXT or
// FILE, or output settings that cannot be written. With --decode the leads are 0 unless given:
// the array read already holds its own.
CliOptions parse_options(const std::vector<std::string>& arguments);

}  // namespace marquee8
