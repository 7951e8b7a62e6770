#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "output_settings.h"

namespace marquee8 {

// A command line that cannot be run; the message says what is wrong with it.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct CliOptions {
  std::optional<std::string> text;
  std::optional<std::string> output;
  OutputSettings settings;
  bool leads_given = false;  // --lead-in or --lead-out: the preview shows the leads too
  bool preview = false;
  bool help = false;
  bool version = false;
};

inline constexpr std::string_view kUsage = "Usage: marquee8 [OPTIONS] [TEXT]\n";
extern const std::string_view kHelp;

// Throws UsageError for an unknown option, a missing or malformed value, more than one TEXT or
// output settings that cannot be written.
CliOptions parse_options(const std::vector<std::string>& arguments);

}  // namespace marquee8
