#include "listed_values.h"

#include <string>

#include "number_text.h"

namespace marquee8 {

namespace {

constexpr std::size_t kValuesPerLine = 16;

}  // namespace

void add_listed_values(ArrayText& text, std::span<const std::uint8_t> values,
                       std::string_view indent, bool comma_after_last) {
  const auto& numbers = number_texts_for(text.settings.hex);
  for (const std::uint8_t value : values) {
    const std::size_t index = text.written++;
    const bool last = index + 1 == text.count;
    text.pending += index % kValuesPerLine == 0 ? indent : " ";
    text.pending += numbers[value].view();
    if (comma_after_last || !last) text.pending += ',';
    if (last || index % kValuesPerLine == kValuesPerLine - 1) text.pending += '\n';
  }
}

void close_c_array(const ArrayFormat& format, ArrayText& text, std::size_t last_index) {
  const std::string type = last_index <= 0xFFFF ? "uint16_t" : "uint32_t";
  format.line(text, "};");
  format.line(text, "const " + type + " " + text.settings.length_name + " = " +
                        std::to_string(last_index) + ";");
}

}  // namespace marquee8
