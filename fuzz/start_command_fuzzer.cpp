// Feeds arbitrary UTF-16 text (little-endian byte pairs) through the Start command, and the same
// text as UTF-8 through the streamed conversion the command line uses: both must agree.
// Build: cmake --preset fuzz && cmake --build build/fuzz
// Run:   build/fuzz/fuzz/start_command_fuzzer -max_total_time=60 <scratch copy of fuzz/corpus>

#include <utf8.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <string>

#include "array_text_parser.h"
#include "conversion.h"
#include "utf8_line.h"

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

// The text as the command line would take it; nothing for a text with a lone surrogate, which
// UTF-8 cannot carry, a line break, which the command line refuses, or a leading byte-order
// mark, which it drops.
std::optional<std::string> as_command_line_text(std::u16string_view text) {
  if (text.find_first_of(u"\r\n") != std::u16string_view::npos || text.starts_with(u'\uFEFF')) {
    return std::nullopt;
  }
  std::string utf8;
  try {
    utf8::utf16to8(text.begin(), text.end(), std::back_inserter(utf8));
  } catch (const utf8::exception&) {
    return std::nullopt;
  }
  return utf8;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Made once, as the window keeps it: its glyph cache must serve any sequence of runs.
  static marquee8::Conversion conversion;
  marquee8::GlyphCanvas canvas(669, 29);
  const std::u16string text = utf16_from_bytes(data, size);
  const std::string array = conversion.start(text, canvas.width(), canvas.height()).output;
  const auto parsed = marquee8::parse_array_text(array);
  const std::size_t n = text.size();
  if (!parsed || parsed->column_values.size() != 6 * n + 1 || parsed->slen != 6 * n + 8) {
    std::abort();
  }
  if (const auto utf8 = as_command_line_text(text)) {
    marquee8::StringSink streamed;
    conversion.write_output(marquee8::Utf8Line::check(*utf8), streamed);
    if (streamed.text() != array + "\r\n") std::abort();
  }
  return 0;
}
