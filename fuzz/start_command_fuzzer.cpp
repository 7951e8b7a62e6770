// Feeds arbitrary UTF-16 text (little-endian byte pairs) through the start command.
// Build: cmake --preset fuzz && cmake --build build/fuzz
// Run:   build/fuzz/fuzz/start_command_fuzzer -max_total_time=60 <scratch copy of fuzz/corpus>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "array_text_parser.h"
#include "glyph_canvas.h"
#include "start_command.h"

namespace {

// Longer texts only repeat what shorter ones exercise, at a cost that slows every run.
constexpr std::size_t kMaxCodeUnits = 4096;

std::u16string utf16_from_bytes(const std::uint8_t* data, std::size_t size) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < size && text.size() < kMaxCodeUnits; i += 2) {
    text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Made once: glyph rendering is cached in the canvas, and every run clears it anyway.
  static marquee8::GlyphCanvas canvas;
  const std::u16string text = utf16_from_bytes(data, size);
  const auto parsed = marquee8::parse_array_text(marquee8::start_command(text, canvas));
  const std::size_t n = text.size();
  if (!parsed || parsed->column_values.size() != 6 * n + 1 || parsed->slen != 6 * n + 8) {
    std::abort();
  }
  return 0;
}
