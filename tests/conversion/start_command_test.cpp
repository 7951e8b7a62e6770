#include "start_command.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>

#include "array_text_parser.h"
#include "canvas_art.h"

namespace marquee8 {
namespace {

using testing::values_from_art;

std::string slurp(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string diff(const std::string& expected_path, const std::string& actual_path) {
  const std::string command = "diff -u '" + expected_path + "' '" + actual_path + "'";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  std::string output;
  char buffer[4096];
  while (pipe && std::fgets(buffer, sizeof buffer, pipe.get())) output += buffer;
  return output;
}

TEST(StartCommand, MatchesTheGoldenOutputForTheDefaultText) {
  GlyphCanvas canvas;
  const std::string actual = start_command(u"825710", canvas);
  const std::string golden = std::string(GOLDEN_DIR) + "/825710.txt";
  if (actual != slurp(golden)) {
    const std::string actual_path = std::string(ACTUAL_DIR) + "/825710.actual";
    std::ofstream(actual_path, std::ios::binary) << actual;
    FAIL() << "output differs from " << golden << ":\n" << diff(golden, actual_path);
  }
}

struct CountCase {
  const char* name;
  std::u16string text;
  std::size_t columns;
  std::uint64_t slen;
};
void PrintTo(const CountCase& c, std::ostream* out) { *out << c.name; }

class StartCommandCounts : public ::testing::TestWithParam<CountCase> {};

TEST_P(StartCommandCounts, SamplesSixColumnsPerCodeUnitAndOneMore) {
  GlyphCanvas canvas;
  const auto parsed = parse_array_text(start_command(GetParam().text, canvas));
  ASSERT_TRUE(parsed) << "not an array text";
  EXPECT_EQ(parsed->column_values.size(), GetParam().columns);
  EXPECT_EQ(parsed->slen, GetParam().slen);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StartCommandCounts,
    ::testing::Values(CountCase{"Empty", u"", 1, 8}, CountCase{"Default", u"825710", 37, 44},
                      // Outside the BMP a character is two code units: twelve columns.
                      CountCase{"Emoji", u"\U0001F600", 13, 20},
                      CountCase{"Ideograph", u"中", 7, 14},
                      CountCase{"Long", std::u16string(1000, u'#'), 6001, 6008}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StartCommand, TurnsEachColumnIntoRowOneAsBitZeroToRowEightAsBitSeven) {
  GlyphCanvas canvas;
  EXPECT_EQ(draw_and_sample(u"0y", canvas), values_from_art({".###.........",  //
                                                             "#...#........",  //
                                                             "#..##.#...#..",  //
                                                             "#.#.#.#...#..",  //
                                                             "##..#.#...#..",  //
                                                             "#...#..####..",  //
                                                             ".###......#..",  //
                                                             ".......###..."}));
}

TEST(StartCommand, CountsOnlyExactBlackInRowsOneToEight) {
  GlyphCanvas canvas;
  canvas.set_pixel(0, 0, kBlack);  // row 0 is above the sampled window
  canvas.set_pixel(0, 9, kBlack);  // and row 9 below it
  canvas.set_pixel(1, 1, kBlack);
  canvas.set_pixel(1, 8, kBlack);
  canvas.set_pixel(2, 3, 0x000001);  // a nearly black pixel, as anti-aliasing leaves them
  canvas.set_pixel(2, 4, 0x010101);
  canvas.set_pixel(2, 5, kBlack);
  EXPECT_EQ(column_value(canvas, 0), 0);
  EXPECT_EQ(column_value(canvas, 1), 1 + 128);
  EXPECT_EQ(column_value(canvas, 2), 16);
  EXPECT_EQ(column_value(canvas, 669), 0) << "off the canvas";
}

TEST(StartCommand, LeavesTheDrawnTextOnTheCanvas) {
  GlyphCanvas canvas;
  start_command(u"I", canvas);
  EXPECT_EQ(canvas.pixel(2, 4), kBlack);
  EXPECT_EQ(canvas.pixel(0, 4), GlyphCanvas::kBackground);
}

// An earlier, longer text must not leak into a later run's bytes.
TEST(StartCommand, StartsEveryRunOnAClearedCanvas) {
  GlyphCanvas reused;
  start_command(u"WWWWWWWWWW", reused);
  reused.set_pixel(2, 2, kBlack);
  GlyphCanvas fresh;
  EXPECT_EQ(start_command(u"1", reused), start_command(u"1", fresh));
  EXPECT_EQ(reused.pixel(20, 4), GlyphCanvas::kBackground) << "the W strokes are gone";
}

// Marquees scroll long messages: characters past the visible width keep their ink.
TEST(StartCommand, SamplesCharactersBeyondTheDefaultWidth) {
  for (const std::size_t length : {111u, 112u, 200u, 5000u}) {
    GlyphCanvas canvas;
    const std::u16string text = std::u16string(length - 1, u' ') + u'H';
    const std::vector<std::uint8_t> values = draw_and_sample(text, canvas);
    ASSERT_EQ(values.size(), 6 * length + 1);
    const std::size_t h = 6 * (length - 1);
    EXPECT_EQ(values[h], 0x7F) << length << " characters: left stem of the last H";
    EXPECT_EQ(values[h + 2], 0x08) << length << " characters: its bar";
    EXPECT_GE(canvas.width(), static_cast<int>(values.size()));
  }
  GlyphCanvas canvas;
  draw_and_sample(u"short", canvas);
  EXPECT_EQ(canvas.width(), GlyphCanvas::kDefaultWidth) << "never narrower than the default";
}

}  // namespace
}  // namespace marquee8
