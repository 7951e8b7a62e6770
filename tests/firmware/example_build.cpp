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

std::filesystem::path build_sketch(const std::filesystem::path& folder,
                                   const std::filesystem::path& sketch,
                                   const std::string& build_script,
                                   std::span<const SketchEdit> edits) {
  // The sketch with what lies beside it and a copy of the library it includes, each edit made
  // in the one file that holds its text.
  const std::filesystem::path library = folder / "library";
  std::filesystem::create_directories(library);
  std::vector<std::pair<std::filesystem::path, std::string>> files = {
      {folder / sketch.filename(), read_file(sketch)}};
  for (const auto& beside : std::filesystem::directory_iterator(sketch.parent_path())) {
    if (beside.path() != sketch && !std::filesystem::exists(folder / beside.path().filename())) {
      files.emplace_back(folder / beside.path().filename(), read_file(beside.path()));
    }
  }
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
  std::filesystem::path elf = files.front().first;
  elf.replace_extension(".elf");
  run_or_throw(build_script + " " + shell_quoted(files.front().first.string()) + " " +
               shell_quoted(elf.string()) + " -I" + shell_quoted(library.string()));
  return elf;
}

std::filesystem::path build_example(const std::filesystem::path& folder, std::string_view text,
                                    Leads leads, std::span<const SketchEdit> edits) {
  write_message(folder / "message.h", text, leads);
  return build_sketch(folder, EXAMPLE_SKETCH, ARDUINO_UNO_BUILD_SKETCH, edits);
}

}  // namespace marquee8::testing
