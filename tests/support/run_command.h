#pragma once

#include <string>

namespace marquee8::testing {

struct CommandResult {
  int status;          // the exit status, or 128 + the signal that ended it
  std::string output;  // standard output and standard error together
};

// Runs `command` in a shell.
CommandResult run_command(const std::string& command);

}  // namespace marquee8::testing
