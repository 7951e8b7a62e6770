#include "setting_ranges.h"

#include <charconv>

namespace marquee8 {

std::string missing_size(std::string_view font, int pixels, std::string_view sizes) {
  return std::string(font) + " has no " + std::to_string(pixels) + "-pixel size; it has " +
         std::string(sizes) +
         " pixels. A font's size is its whole line height, ascent and descent, not the 8 rows "
         "it lights: without a size, its tallest that fits 8 rows is taken";
}

SettingReading read_named_setting(std::string_view setting, const SettingRange& range,
                                  std::string_view text) {
  const std::string quoted = std::string(setting) + " needs ";
  std::string_view digits = text;
  if (digits.starts_with('+') && digits.size() > 1 && digits[1] != '-') digits.remove_prefix(1);
  int value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  const bool read = end == digits.data() + digits.size();
  if (!read || (error != std::errc() && error != std::errc::result_out_of_range)) {
    return {0,
            quoted + "a whole number from " + range.text() + ", not '" + std::string(text) + "'"};
  }
  if (error == std::errc::result_out_of_range || !range.contains(value)) {
    return {0, quoted + range.text() + ": '" + std::string(text) + "' is out of range"};
  }
  return {value, std::nullopt};
}

SettingReading read_setting(std::string_view option, const SettingRange& range,
                            std::string_view text) {
  return read_named_setting("option '" + std::string(option) + "'", range, text);
}

}  // namespace marquee8
