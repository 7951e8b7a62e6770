#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "cli_run.h"
#include "conversion.h"
#include "utf8_line.h"

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

// Each option reaches the core as the setting it names, alone and together.
TEST(OutputOptions, EverySpellingGivesTheCoresOutputForItsSettings) {
  const auto output = [](const OutputSettings& settings) {
    StringSink out;
    Conversion(settings).write_output(Utf8Line::check("Hi"), out);
    return out.take();
  };
  OutputSettings all;
  all.format = OutputFormat::kC;
  all.hex = all.msb_top = all.art = true;
  all.lead_in = 32;
  all.lead_out = 7;
  all.array_name = "text";
  all.length_name = "text_last";
  const std::vector<std::pair<std::vector<std::string>, OutputSettings>> cases = {
      {{"-f", "progmem"}, {.format = OutputFormat::kProgmem}},
      {{"--format=micropython"}, {.format = OutputFormat::kMicroPython}},
      {{"-fraw"}, {.format = OutputFormat::kRaw}},
      {{"--hex"}, {.hex = true}},
      {{"--msb-top"}, {.msb_top = true}},
      {{"--lead-in=0"}, {.lead_in = 0}},
      {{"--lead-out", "32"}, {.lead_out = 32}},
      {{"--name", "b", "--length-name=len"}, {.array_name = "b", .length_name = "len"}},
      {{"--art"}, {.art = true}},
      {{"-f", "c", "--hex", "--msb-top", "--art", "--lead-in", "32", "--lead-out=7", "--name",
        "text", "--length-name", "text_last"},
       all},
  };
  for (const auto& [arguments, settings] : cases) {
    SCOPED_TRACE(::testing::PrintToString(arguments));
    std::vector<std::string> with_text = arguments;
    with_text.push_back("Hi");
    const CliRun run = run_with_stdin(with_text, "");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, output(settings));
  }
}

TEST(OutputOptions, RawBytesAreNeverWrittenToATerminal) {
  std::istringstream in;
  std::ostringstream out, err;
  EXPECT_EQ(run_cli({"-f", "raw", "Hi"}, {in, true, out, true, err}), 1);
  EXPECT_EQ(out.str(), "");
  EXPECT_THAT(err.str(), ::testing::HasSubstr("-o FILE or through a pipe"));
}

// The preview pictures the text upright whatever the bit order, and its leads only when asked.
TEST(Preview, ShowsTheLeadsAskedForAndStaysUpright) {
  const std::string plain = run_with_stdin({"-p", "I"}, "").out;
  EXPECT_EQ(run_with_stdin({"-p", "--msb-top", "--hex", "I"}, "").out, plain);
  EXPECT_EQ(run_with_stdin({"-p", "--lead-in=2", "--lead-out=1", "I"}, "").out,
            "...###....\n"
            "....#.....\n"
            "....#.....\n"
            "....#.....\n"
            "....#.....\n"
            "....#.....\n"
            "...###....\n"
            "..........\n");
}

// The picture the README shows for the default digits.
TEST(Preview, DrawsTheSampledRowsTopRowFirst) {
  const CliRun run = run_with_stdin({"--preview", "825710"}, "");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            ".###...###..#####.#####...#....###...\n"
            "#...#.#...#.#.........#..##...#...#..\n"
            "#...#.....#.####.....#..#.#...#..##..\n"
            ".###.....#......#...#.....#...#.#.#..\n"
            "#...#...#.......#..#......#...##..#..\n"
            "#...#..#....#...#..#......#...#...#..\n"
            ".###..#####..###...#....#####..###...\n"
            ".....................................\n");
}

}  // namespace
}  // namespace marquee8::testing
