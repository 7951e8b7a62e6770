#include "start_command.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "array_text.h"

namespace marquee8 {

std::uint8_t column_value(const GlyphCanvas& canvas, int x) {
  constexpr std::uint32_t kSampledRows = ((1u << (kLastRow - kFirstRow + 1)) - 1) << kFirstRow;
  return static_cast<std::uint8_t>((canvas.black_rows(x) & kSampledRows) >> kFirstRow);
}

std::vector<std::uint8_t> draw_and_sample(std::u16string_view text, GlyphCanvas& canvas) {
  constexpr std::size_t kMaxLength =
      (static_cast<std::size_t>(std::numeric_limits<int>::max()) - 1) / kCharacterAdvance;
  if (text.size() > kMaxLength) {
    throw std::length_error("a text of " + std::to_string(text.size()) +
                            " characters is too long to draw (at most " +
                            std::to_string(kMaxLength) + ")");
  }
  // Six columns per code unit and one more, whatever width the glyphs really take.
  const int columns = static_cast<int>(text.size()) * kCharacterAdvance + 1;

  // A fresh canvas for every run: pixels left over from a longer earlier text would otherwise
  // be sampled into this text's bytes. It is never narrower than the sampled columns, so long
  // texts keep their ink past the default width.
  canvas.clear();
  canvas.resize(std::max(columns, GlyphCanvas::kDefaultWidth), canvas.height());
  canvas.set_font_size(kFontPoints);
  canvas.set_position(0, 0);
  canvas.draw_text(text);

  std::vector<std::uint8_t> values(static_cast<std::size_t>(columns));
  for (int x = 0; x < columns; ++x) values[static_cast<std::size_t>(x)] = column_value(canvas, x);
  return values;
}

std::string start_command(std::u16string_view text, GlyphCanvas& canvas) {
  return array_text(draw_and_sample(text, canvas));
}

}  // namespace marquee8
