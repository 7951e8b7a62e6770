#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace marquee8 {

// The whole numbers a setting takes, its unit and its default: the command line's options,
// the window's dialogs and spin boxes and its settings store all take them from here.
struct SettingRange {
  int lowest;
  int highest;
  int fallback;           // the default
  std::string_view unit;  // as a message counts it: "columns", "pixels"

  bool contains(int value) const { return value >= lowest && value <= highest; }
  // "1 to 64 pixels"
  std::string text() const {
    return std::to_string(lowest) + " to " + std::to_string(highest) + " " + std::string(unit);
  }
};

// Blank columns before and after the text; the lead-in's default is the classic eight.
inline constexpr SettingRange kLeadInRange{0, 65535, 8, "columns"};
inline constexpr SettingRange kLeadOutRange{0, 65535, 0, "columns"};
// A font's size is its line height in pixels, ascent and descent: a bitmap font offers a few,
// an outline font any. The default (no size) is the tallest that fits 8 rows.
inline constexpr SettingRange kFontSizeRange{1, 64, 0, "pixels"};
// Rows the text moves down from where capitals start on row 1 (up when negative).
inline constexpr SettingRange kOffsetRange{-32, 32, 0, "rows"};
// What the receiver sketch takes: a column step in milliseconds and the MAX7219's 16 levels.
inline constexpr SettingRange kStepRange{1, 65535, 40, "ms"};
inline constexpr SettingRange kBrightnessRange{0, 15, 2, "levels"};

// Why a bitmap font cannot be drawn at `pixels`: "F has no 8-pixel size; it has 11 pixels",
// and what a size means, which is not the 8 rows a marquee lights.
std::string missing_size(std::string_view font, int pixels, std::string_view sizes);

// A number as a user typed it for `option`: its value, or why it is none of `range`, worded
// for every front end ("option '--size' needs 1 to 64 pixels: '65' is out of range"). The text
// is read as strtol reads it less the leading blanks: "+1" is 1.
struct SettingReading {
  int value = 0;
  std::optional<std::string> problem;
};
SettingReading read_setting(std::string_view option, const SettingRange& range,
                            std::string_view text);
// The same, worded for a setting a form names ("the size needs 1 to 64 pixels: '65' is out of
// range"), as the page's fields are.
SettingReading read_named_setting(std::string_view setting, const SettingRange& range,
                                  std::string_view text);

}  // namespace marquee8
