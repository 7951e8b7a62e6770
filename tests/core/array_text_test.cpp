#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <stdexcept>
#include <vector>

#include "array_writer.h"
#include "classic_text.h"

namespace marquee8 {
namespace {

using testing::classic_text;

struct FormatCase {
  const char* name;
  std::vector<std::uint8_t> values;
  std::string_view expected;
};
void PrintTo(const FormatCase& c, std::ostream* out) { *out << c.name; }

class ArrayTextFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(ArrayTextFormat, WritesBothDeclarationsExactly) {
  EXPECT_EQ(classic_text(GetParam().values), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArrayTextFormat,
    ::testing::Values(
        // An empty text samples one blank column: the shortest array there is.
        FormatCase{"OneBlankColumn", {0}, "byte a[]={0,0,0,0,0,0,0,0, 0};\r\nint slen= 8;"},
        FormatCase{"OneCharacter",
                   {0, 126, 129, 129, 126, 0, 0},
                   "byte a[]={0,0,0,0,0,0,0,0, 0, 126, 129, 129, 126, 0, 0};\r\nint slen= 14;"},
        // Widths vary: no padding, no leading zeros, the full byte range.
        FormatCase{"ExtremesUnpadded",
                   {255, 1, 10, 100, 0},
                   "byte a[]={0,0,0,0,0,0,0,0, 255, 1, 10, 100, 0};\r\nint slen= 12;"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ArrayText, LengthIsTheIndexOfTheLastElementForAnyCount) {
  for (const std::size_t count : {1u, 7u, 37u, 6001u}) {
    const std::string text = classic_text(std::vector<std::uint8_t>(count, 3));
    const std::size_t elements = 8 + count;
    EXPECT_TRUE(text.ends_with("};\r\nint slen= " + std::to_string(elements - 1) + ";"))
        << count << " values";
    EXPECT_EQ(std::count(text.begin(), text.end(), ','), static_cast<long>(elements - 1));
  }
}

TEST(ArrayWriter, RefusesAnArrayWithoutElements) {
  OutputSettings no_leads;
  no_leads.lead_in = 0;
  StringSink sink;
  EXPECT_THROW(ArrayWriter(no_leads, 0, sink), std::invalid_argument);
}

// Long outputs are written block by block; where the values are cut must not show.
TEST(ArrayWriter, ValuesInAnyPiecesGiveTheWholeText) {
  std::vector<std::uint8_t> values(50'000);
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = static_cast<std::uint8_t>(i * 37);
  const std::string whole = classic_text(values) + "\r\n";
  const OutputSettings classic;
  for (const std::size_t piece : {1u, 7u, 4096u, 49'999u}) {
    StringSink sink;
    ArrayWriter writer(classic, values.size(), sink);
    for (std::size_t at = 0; at < values.size(); at += piece) {
      writer.add(std::span(values).subspan(at, std::min(piece, values.size() - at)));
    }
    writer.finish();
    EXPECT_EQ(sink.text(), whole) << "pieces of " << piece;
  }
}

}  // namespace
}  // namespace marquee8
