#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "array_writer.h"

namespace marquee8::testing {

// The classic array text of `values` as the window shows it: without its final CR LF.
inline std::string classic_text(std::span<const std::uint8_t> values) {
  StringSink text;
  write_array(OutputSettings(), values, text);
  std::string shown = text.take();
  shown.resize(shown.size() - 2);
  return shown;
}

}  // namespace marquee8::testing
