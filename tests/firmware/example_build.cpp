#include "example_build.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "run_command.h"
#include "temporary_directory.h"

namespace marquee8::testing {
namespace {

std::string shell_quoted(std::string_view argument) {
  std::string quoted = "'";
  for (const char c : argument) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

void run_or_throw(const std::string& command) {
  const CommandResult result = run_command(command);
  if (result.status != 0) throw std::runtime_error(command + " failed:\n" + result.output);
}

}  // namespace

void write_message(const std::filesystem::path& header, std::string_view text, Leads leads) {
  run_or_throw(MARQUEE8 " -f progmem --lead-in=" + std::to_string(leads.in) +
               " --lead-out=" + std::to_string(leads.out) + " -o " + shell_quoted(header.string()) +
               " -- " + shell_quoted(text));
}

std::filesystem::path build_example(const std::filesystem::path& folder, std::string_view text,
                                    Leads leads, std::span<const SketchEdit> edits) {
  std::ostringstream read;
  read << std::ifstream(EXAMPLE_SKETCH).rdbuf();
  std::string sketch = read.str();
  for (const SketchEdit& edit : edits) {
    const std::size_t at = sketch.find(edit.from);
    if (at == std::string::npos || sketch.find(edit.from, at + 1) != std::string::npos) {
      throw std::runtime_error("the sketch does not hold exactly one " + std::string(edit.from));
    }
    sketch.replace(at, edit.from.size(), edit.to);
  }
  const std::filesystem::path source = folder / "marquee8_max7219.ino";
  const std::filesystem::path elf = folder / "marquee8_max7219.elf";
  write_file(source, sketch);
  write_message(folder / "message.h", text, leads);
  run_or_throw(ARDUINO_UNO_BUILD_SKETCH " " + shell_quoted(source.string()) + " " +
               shell_quoted(elf.string()));
  return elf;
}

}  // namespace marquee8::testing
