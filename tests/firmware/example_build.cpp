#include "example_build.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "run_command.h"
#include "temporary_directory.h"

namespace marquee8::testing {
namespace {

std::string shell_quoted(std::string_view argument) {
  std::string quoted = "'";
  for (const char c : argument) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string read_file(const std::filesystem::path& file) {
  std::ostringstream text;
  text << std::ifstream(file, std::ios::binary).rdbuf();
  return text.str();
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
  // The sketch and a copy of the library it includes, each edit made in the one file that holds
  // its text.
  const std::filesystem::path library = folder / "library";
  std::filesystem::create_directory(library);
  std::vector<std::pair<std::filesystem::path, std::string>> files = {
      {folder / "marquee8_max7219.ino", read_file(EXAMPLE_SKETCH)}};
  for (const auto& header : std::filesystem::directory_iterator(SKETCH_LIBRARY)) {
    files.emplace_back(library / header.path().filename(), read_file(header.path()));
  }
  for (const SketchEdit& edit : edits) {
    int found = 0;
    for (auto& [path, source] : files) {
      const std::size_t at = source.find(edit.from);
      if (at == std::string::npos) continue;
      found += source.find(edit.from, at + 1) == std::string::npos ? 1 : 2;
      source.replace(at, edit.from.size(), edit.to);
    }
    if (found != 1) {
      throw std::runtime_error("the sketch does not hold exactly one " + std::string(edit.from));
    }
  }
  for (const auto& [path, source] : files) write_file(path, source);
  const std::filesystem::path elf = folder / "marquee8_max7219.elf";
  write_message(folder / "message.h", text, leads);
  run_or_throw(ARDUINO_UNO_BUILD_SKETCH " " + shell_quoted(files.front().first.string()) + " " +
               shell_quoted(elf.string()) + " -I" + shell_quoted(library.string()));
  return elf;
}

}  // namespace marquee8::testing
