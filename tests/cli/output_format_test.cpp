#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "cli_run.h"
#include "glyph_canvas.h"
#include "start_command.h"

namespace marquee8::testing {
namespace {

using ::testing::EndsWith;
using ::testing::StartsWith;

TEST(OutputFormat, DefaultDigitsGiveTwoCrLfTerminatedLines) {
  const std::string out = run_at_terminal({}).out;
  EXPECT_THAT(out, StartsWith("byte a[]={0,0,0,0,0,0,0,0,"));
  EXPECT_THAT(out, EndsWith("};\r\nint slen= 44;\r\n"));
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2);
  EXPECT_EQ(std::count(out.begin(), out.end(), '\r'), 2);
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

TEST(Preview, DrawsTheSampledBitsTopRowFirst) {
  const std::vector<Sample> samples = {
      {"825710", u"825710"}, {"\xF0\x9F\x98\x80", u"\U0001F600"}, {"", u""}};
  for (const auto& [utf8, utf16] : samples) {
    SCOPED_TRACE("text: " + utf8);
    GlyphCanvas canvas;
    const std::vector<std::uint8_t> values = draw_and_sample(utf16, canvas);
    const CliRun run = run_with_stdin({"--preview", utf8}, "");
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_THAT(run.out, EndsWith("\n"));
    const std::vector<std::string> rows = lines_of(run.out);
    ASSERT_EQ(rows.size(), 8u);
    for (std::size_t bit = 0; bit < rows.size(); ++bit) {
      ASSERT_EQ(rows[bit].size(), 6 * utf16.size() + 1) << "row " << bit;
      for (std::size_t x = 0; x < values.size(); ++x) {
        EXPECT_EQ(rows[bit][x], (values[x] >> bit) & 1 ? '#' : '.') << "row " << bit << " x " << x;
      }
    }
  }
}

}  // namespace
}  // namespace marquee8::testing
