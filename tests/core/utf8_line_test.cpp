#include "utf8_line.h"

#include <gtest/gtest.h>

#include "conversion_error.h"
#include "text_limits.h"

namespace marquee8 {
namespace {

// Counted as the window's text box counts: the count decides the columns and slen.
TEST(Utf8Line, CountsUtf16CodeUnits) {
  const struct {
    std::string_view bytes;
    std::size_t units;
  } cases[] = {{"", 0},
               {"825710", 6},
               {"\xC3\xA9", 1},          // é: two bytes, one unit
               {"\xE2\x82\xAC", 1},      // €: three bytes, one unit
               {"\xF0\x9F\x98\x80", 2},  // an emoji: a surrogate pair
               {"\xEF\xBB\xBF"
                "ab",
                2},                                // the byte-order mark is not text
               {std::string_view("a\0b", 3), 3}};  // NUL is a character like any other
  for (const auto& c : cases) EXPECT_EQ(Utf8Line::check(c.bytes).code_units(), c.units) << c.bytes;
}

TEST(Utf8Line, SaysWhichFailureItIs) {
  const auto kind_of = [](auto check) {
    try {
      check();
    } catch (const ConversionError& error) {
      return error.kind();
    }
    ADD_FAILURE() << "nothing thrown";
    return ConversionError::Kind::kFontUnusable;
  };
  EXPECT_EQ(kind_of([] { Utf8Line::check("a\xFF"); }), ConversionError::Kind::kInvalidText);
  EXPECT_EQ(kind_of([] { Utf8Line::check("a\nb"); }), ConversionError::Kind::kInvalidText);
  EXPECT_EQ(kind_of([] { check_length(kMaxTextLength + 1); }), ConversionError::Kind::kTextTooLong);
  EXPECT_NO_THROW(check_length(kMaxTextLength));
}

// The length declaration holds the last index in an int: 2^31 elements at most, leads counted.
TEST(ArrayLength, CountsTheLeadsWithTheColumns) {
  constexpr std::size_t kMost = std::size_t{1} << 31;
  const struct {
    std::size_t columns;
    int lead_in;
    int lead_out;
    bool fits;
  } cases[] = {
      {kMost, 0, 0, true},
      {kMost + 1, 0, 0, false},
      {kMost - 8, 8, 0, true},
      {kMost - 8, 8, 1, false},
      {kMost - 131070, 65535, 65535, true},
      {kMost - 131069, 65535, 65535, false},
  };
  for (const auto& c : cases) {
    OutputSettings settings;
    settings.lead_in = c.lead_in;
    settings.lead_out = c.lead_out;
    if (c.fits) {
      EXPECT_NO_THROW(check_array_length(c.columns, settings, "the array")) << c.columns;
    } else {
      EXPECT_THROW(check_array_length(c.columns, settings, "the array"), ConversionError)
          << c.columns;
    }
  }
}

}  // namespace
}  // namespace marquee8
