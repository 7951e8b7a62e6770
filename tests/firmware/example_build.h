#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace marquee8::testing {

// A change to the example sketch's source: `from` must occur in it exactly once.
struct SketchEdit {
  std::string_view from;
  std::string_view to;
};

// The leads marquee8 is asked for, as on its command line.
struct Leads {
  int in = 8;
  int out = 0;
};

// Writes `header` as `marquee8 -f progmem` writes it for `text` and `leads`.
void write_message(const std::filesystem::path& header, std::string_view text, Leads leads);

// Builds `sketch` with `build_script` (cmake/arduino_avr.cmake's) in `folder`, which it must
// have to itself, with the files beside the sketch unless `folder` has its own, and `edits`
// made to the sketch or the Marquee8 library. Returns the ELF file; throws std::runtime_error
// with what went wrong.
std::filesystem::path build_sketch(const std::filesystem::path& folder,
                                   const std::filesystem::path& sketch,
                                   const std::string& build_script,
                                   std::span<const SketchEdit> edits);

// Builds the example sketch for an Uno in `folder` (which it must have to itself), with `edits`
// made to its source and the message.h that `marquee8 -f progmem` writes for `text` and
// `leads`. Returns the ELF file; throws std::runtime_error with what went wrong.
std::filesystem::path build_example(const std::filesystem::path& folder, std::string_view text,
                                    Leads leads, std::span<const SketchEdit> edits = {});

}  // namespace marquee8::testing
