#pragma once

#include <string>
#include <vector>

namespace marquee8::testing {

// One text as the command line takes it and as the core takes it.
struct Sample {
  std::string utf8;
  std::u16string utf16;
};

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

// Runs the command line in-process with `stdin_bytes` as a non-terminal standard input.
CliRun run_with_stdin(const std::vector<std::string>& arguments, const std::string& stdin_bytes);

// Runs the command line with a terminal as standard input, which is never read.
CliRun run_at_terminal(const std::vector<std::string>& arguments);

// What the command line should print for `text`: the core's array text and CR LF.
std::string expected_output(const std::u16string& text);

}  // namespace marquee8::testing
