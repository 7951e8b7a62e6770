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

// The advice on where an array fits, as the status bar gives it: only where it is true.
TEST(OutputFormat, WarnsWhereTheArrayCannotFit) {
  const std::string ram =
      "more than the 1,536 bytes an Uno's RAM can spare: use the PROGMEM format";
  const std::string avr =
      "bytes: more than the 32,767 bytes avr-gcc lets one array have on any AVR";
  const std::string flash = "bytes: more than the 32,256 bytes of flash an Uno or a Nano has";
  const struct {
    std::vector<std::string> options;
    std::size_t characters;
    std::string warning;  // empty: none
  } cases[] = {
      {{}, 254, ""},
      {{}, 300, ram},
      {{"-f", "progmem"}, 300, ""},
      {{"-f", "progmem"}, 5374, ""},
      {{"-f", "progmem"}, 5375, "32,259 " + flash},
      {{"-f", "progmem"}, 6000, "36,009 " + avr},
      {{}, 6000, "36,009 " + avr},
      {{"-f", "c"}, 6000, ""},
      {{"-f", "progmem", "-p"}, 6000, ""},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments = c.options;
    arguments.push_back(std::string(c.characters, '8'));
    SCOPED_TRACE(::testing::PrintToString(c.options) + " " + std::to_string(c.characters));
    const CliRun run = run_with_stdin(arguments, "");
    EXPECT_EQ(run.status, 0);
    if (c.warning.empty()) {
      EXPECT_EQ(run.err, "");
    } else {
      EXPECT_THAT(run.err, ::testing::HasSubstr("marquee8: warning: " + c.warning));
    }
  }
  // --decode advises from the array it writes.
  const std::string long_array = run_with_stdin({std::string(300, '8')}, "").out;
  EXPECT_THAT(run_with_stdin({"-d"}, long_array).err, ::testing::HasSubstr(ram));
  EXPECT_EQ(run_with_stdin({"-d", "-f", "progmem"}, long_array).err, "");
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
