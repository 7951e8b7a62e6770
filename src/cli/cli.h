#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace marquee8 {

// As GNU tools: 1 for bad input or a failed read or write, 2 for a bad command line.
enum ExitStatus : int { kSuccess = 0, kFailure = 1, kUsageError = 2 };

// The streams a run of the command line uses; tests swap in string streams.
struct Console {
  std::istream& in;
  bool in_is_terminal;
  std::ostream& out;
  bool out_is_terminal;
  std::ostream& err;
};

// Runs `marquee8` with `arguments` (not including the program name) and returns its exit status.
int run_cli(const std::vector<std::string>& arguments, const Console& console);

}  // namespace marquee8
