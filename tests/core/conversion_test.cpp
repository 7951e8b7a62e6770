#include "conversion.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "array_text_parser.h"
#include "array_writer.h"
#include "canvas_art.h"
#include "canvas_size.h"
#include "classic_text.h"
#include "conversion_error.h"
#include "sampled_rows.h"
#include "temporary_directory.h"
#include "utf8_line.h"

namespace marquee8 {
namespace {

using testing::classic_text;

using testing::art;
using testing::lines;
using testing::values_from_art;

std::string start(std::u16string_view text) {
  GlyphCanvas canvas(testing::kCanvasWidth, testing::kCanvasHeight);
  return Conversion().start(text, canvas.width(), canvas.height()).output;
}

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

// Fails with a diff -u of the golden file against what was made.
void expect_golden(const std::string& actual, const std::string& name) {
  const std::string golden = std::string(GOLDEN_DIR) + "/" + name;
  if (actual != slurp(golden)) {
    const std::string actual_path = std::string(ACTUAL_DIR) + "/" + name + ".actual";
    std::ofstream(actual_path, std::ios::binary) << actual;
    ADD_FAILURE() << "output differs from " << golden << ":\n" << diff(golden, actual_path);
  }
}

TEST(Conversion, MatchesTheGoldenOutputForTheDefaultText) {
  expect_golden(start(u"825710"), "825710.txt");
}

TEST(Conversion, MatchesTheGoldenOutputOfEveryFormat) {
  OutputSettings all_options{.format = OutputFormat::kProgmem,
                             .hex = true,
                             .msb_top = true,
                             .lead_in = 2,
                             .lead_out = 32,
                             .array_name = "scroll",
                             .length_name = "scroll_last",
                             .art = true};
  const std::vector<std::pair<std::string, OutputSettings>> cases = {
      {"825710.progmem", {.format = OutputFormat::kProgmem}},
      {"825710.c", {.format = OutputFormat::kC}},
      {"825710.micropython", {.format = OutputFormat::kMicroPython}},
      {"825710.raw", {.format = OutputFormat::kRaw}},
      {"825710.progmem-all-options", all_options},
  };
  for (const auto& [golden, settings] : cases) {
    StringSink out;
    Conversion(settings).write_output(Utf8Line::check("825710"), out);
    expect_golden(out.text(), golden);
  }
}

struct CountCase {
  const char* name;
  std::u16string text;
  std::size_t columns;
  std::uint64_t slen;
};
void PrintTo(const CountCase& c, std::ostream* out) { *out << c.name; }

class ConversionCounts : public ::testing::TestWithParam<CountCase> {};

TEST_P(ConversionCounts, SamplesSixColumnsPerCodeUnitAndOneMore) {
  const auto parsed = parse_array_text(start(GetParam().text));
  ASSERT_TRUE(parsed) << "not an array text";
  EXPECT_EQ(parsed->column_values.size(), GetParam().columns);
  EXPECT_EQ(parsed->slen, GetParam().slen);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ConversionCounts,
    ::testing::Values(CountCase{"Empty", u"", 1, 8}, CountCase{"Default", u"825710", 37, 44},
                      // Outside the BMP a character is two code units: twelve columns.
                      CountCase{"Emoji", u"\U0001F600", 13, 20},
                      CountCase{"Ideograph", u"中", 7, 14},
                      CountCase{"Long", std::u16string(1000, u'#'), 6001, 6008}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Conversion, TurnsEachColumnIntoRowOneAsBitZeroToRowEightAsBitSeven) {
  EXPECT_EQ(Conversion().column_values(Utf8Line::check("0y")),
            values_from_art({".###.........",  //
                             "#...#........",  //
                             "#..##.#...#..",  //
                             "#.#.#.#...#..",  //
                             "##..#.#...#..",  //
                             "#...#..####..",  //
                             ".###......#..",  //
                             ".......###..."}));
}

TEST(Conversion, SamplesOnlyRowsOneToEight) {
  const struct {
    std::uint32_t ink_rows;
    std::uint8_t value;
  } cases[] = {{1u << 0, 0},   {1u << 9, 0},  {1u << 28, 0}, {1u << 1, 1},
               {1u << 8, 128}, {0x1FEu, 255}, {~0u, 255},    {(1u << 3) | (1u << 7), 4 + 64}};
  for (const auto& c : cases) EXPECT_EQ(column_value(c.ink_rows), c.value) << c.ink_rows;
}

TEST(Conversion, ShowsTheTextOnTheCanvasCellAtTheTopLeft) {
  GlyphCanvas canvas(testing::kCanvasWidth, testing::kCanvasHeight);
  canvas = Conversion().start(u"L", canvas.width(), canvas.height()).canvas;
  // The cell's row 1 (the top of a capital) is the canvas's row 1.
  EXPECT_EQ(art(canvas, 0, 9, 7), lines({".......",  //
                                         "#......",  //
                                         "#......",  //
                                         "#......",  //
                                         "#......",  //
                                         "#......",  //
                                         "#......",  //
                                         "#####..",  //
                                         ".......",  //
                                         "......."}));
}

// An earlier, longer text must not leak into a later run's bytes or canvas.
TEST(Conversion, StartsEveryRunOnAClearCanvas) {
  Conversion reused;
  reused.start(u"WWWWWWWWWW", testing::kCanvasWidth, testing::kCanvasHeight);
  const Shown one = reused.start(u"1", testing::kCanvasWidth, testing::kCanvasHeight);
  EXPECT_EQ(one.output, start(u"1"));
  EXPECT_FALSE(one.canvas.inked(20, 4)) << "the W strokes are gone";
}

TEST(Conversion, AFontThatFailsIsNotTaken) {
  Conversion conversion;
  FontSettings no_such_size;
  no_such_size.size = 24;
  EXPECT_THROW(conversion.set_settings(ConversionSettings{no_such_size, {}}), ConversionError);
  EXPECT_EQ(conversion.settings().font, FontSettings());
  EXPECT_EQ(conversion.start(u"8", testing::kCanvasWidth, testing::kCanvasHeight).output,
            start(u"8"));
}

TEST(Conversion, ARunControlFollowsEveryColumnAndCanStopTheRun) {
  const std::u16string text(2000, u'W');  // 6 x 2000 + 1 columns, in several blocks
  const auto run = [&](Conversion& conversion) {
    return conversion.start(text, testing::kCanvasWidth, testing::kCanvasHeight).output;
  };
  std::vector<std::pair<std::size_t, std::size_t>> told;
  Conversion followed;
  followed.set_run_control([&](std::size_t done, std::size_t in_all) {
    told.emplace_back(done, in_all);
    return true;
  });
  EXPECT_EQ(run(followed), start(text));
  ASSERT_GT(told.size(), 1u);
  for (std::size_t i = 0; i < told.size(); ++i) {
    EXPECT_EQ(told[i].second, 12001u);
    if (i > 0) {
      EXPECT_GT(told[i].first, told[i - 1].first);
    }
  }
  EXPECT_EQ(told.back().first, 12001u);

  Conversion stopped;
  int calls = 0;
  stopped.set_run_control([&](std::size_t, std::size_t) { return ++calls < 2; });
  EXPECT_THROW(run(stopped), RunCancelled);
  EXPECT_EQ(calls, 2);
  stopped.set_run_control({});
  EXPECT_EQ(run(stopped), start(text));
}

// Marquees scroll long messages: characters past the visible width keep their ink, across the
// blocks the columns are handed on in.
TEST(Conversion, SamplesCharactersBeyondTheDefaultWidth) {
  for (const std::size_t length : {111u, 112u, 683u, 5000u}) {
    const std::string text = std::string(length - 1, ' ') + 'H';
    const std::vector<std::uint8_t> values = Conversion().column_values(Utf8Line::check(text));
    ASSERT_EQ(values.size(), 6 * length + 1);
    const std::size_t h = 6 * (length - 1);
    EXPECT_EQ(values[h], 0x7F) << length << " characters: left stem of the last H";
    EXPECT_EQ(values[h + 2], 0x08) << length << " characters: its bar";
  }
}

// Records the pieces an output arrives in.
class PieceSink final : public ByteSink {
 public:
  void write(std::string_view bytes) override { pieces.emplace_back(bytes); }
  std::string joined() const {
    std::string all;
    for (const auto& piece : pieces) all += piece;
    return all;
  }
  std::vector<std::string> pieces;
};

TEST(Conversion, StreamsTheSameBytesAsTheWholeTextForUtf8AndUtf16) {
  const struct {
    std::string utf8;
    std::u16string utf16;
  } texts[] = {{"", u""},
               {"825710", u"825710"},
               {"\xC3\xA9\xE2\x82\xAC \xF0\x9F\x98\x80!", u"\u00E9\u20AC \U0001F600!"},
               {"\xEF\xBB\xBF"
                "BOM",
                u"BOM"},
               {std::string(30000, 'W'), std::u16string(30000, u'W')}};
  for (const auto& [utf8, utf16] : texts) {
    SCOPED_TRACE(utf8.substr(0, 20));
    PieceSink streamed;
    Conversion().write_output(Utf8Line::check(utf8), streamed);
    EXPECT_EQ(streamed.joined(), start(utf16) + "\r\n");
    if (utf8.size() > 1000) {
      EXPECT_GT(streamed.pieces.size(), 2u) << "held whole, not streamed";
    }
  }
}

// A font whose glyphs reach two columns left of their pen ('a') and three right of their cell
// ('b'), built from the same pictures the expected columns are painted from.
struct TestGlyph {
  char character;
  int left;
  std::vector<std::string> rows;  // top row first, on rows 1 to 7 of the cell
};
const std::vector<TestGlyph> kOverhangingGlyphs = {
    {'a', -2, {"#..", ".#.", "..#", "###", "#.#", ".#.", "#.."}},
    {'b',
     0,
     {"#........", ".#......#", "..#....#.", "...#..#..", "....##...", "########.", "#.#.#.#.#"}},
};

std::string bdf(const std::vector<TestGlyph>& glyphs) {
  std::string font =
      "STARTFONT 2.1\nFONT -test-Overhang-Medium-R-Normal--11-80-96-96-C-60-ISO10646-1\n"
      "SIZE 8 96 96\nFONTBOUNDINGBOX 9 11 -2 -3\nSTARTPROPERTIES 3\nPIXEL_SIZE 11\n"
      "FONT_ASCENT 8\nFONT_DESCENT 3\nENDPROPERTIES\nCHARS " +
      std::to_string(glyphs.size()) + "\n";
  for (const TestGlyph& glyph : glyphs) {
    const int width = static_cast<int>(glyph.rows[0].size());
    font += "STARTCHAR " + std::string(1, glyph.character) + "\nENCODING " +
            std::to_string(glyph.character) + "\nSWIDTH 545 0\nDWIDTH 6 0\nBBX " +
            std::to_string(width) + " 7 " + std::to_string(glyph.left) + " 0\nBITMAP\n";
    for (const std::string& row : glyph.rows) {
      unsigned bits = 0;
      for (int x = 0; x < width; ++x) bits |= (row[x] == '#' ? 1u : 0u) << (15 - x);
      char hex[8];
      std::snprintf(hex, sizeof hex, "%04X\n", bits);
      font += hex;
    }
    font += "ENDCHAR\n";
  }
  return font + "ENDFONT\n";
}

// Paints the whole text at once on one wide strip: nothing streamed, nothing cached.
std::vector<std::uint8_t> painted_at_once(std::string_view text) {
  std::vector<std::uint8_t> values(text.size() * 6 + 1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const TestGlyph& glyph = text[i] == 'a' ? kOverhangingGlyphs[0] : kOverhangingGlyphs[1];
    for (std::size_t row = 0; row < glyph.rows.size(); ++row) {
      for (std::size_t x = 0; x < glyph.rows[row].size(); ++x) {
        const long long column = static_cast<long long>(6 * i + x) + glyph.left;
        if (glyph.rows[row][x] == '#' && column >= 0 && column < std::ssize(values)) {
          values[static_cast<std::size_t>(column)] |= static_cast<std::uint8_t>(1u << row);
        }
      }
    }
  }
  return values;
}

TEST(Conversion, GlyphsReachingPastTheirColumnsAreWholeInEveryBlock) {
  const testing::TemporaryDirectory folder;
  const auto font = folder.path() / "overhang.bdf";
  testing::write_file(font, bdf(kOverhangingGlyphs));
  std::string text;
  for (int i = 0; i < 1500; ++i) text += i % 5 == 4 ? "b" : "a";
  FontSettings overhanging;
  overhanging.font = FontSource::file(font.string());
  Conversion conversion(ConversionSettings{overhanging, {}});
  EXPECT_EQ(conversion.column_values(Utf8Line::check(text)), painted_at_once(text));
  const std::u16string utf16(text.begin(), text.end());
  GlyphCanvas canvas(testing::kCanvasWidth, testing::kCanvasHeight);
  EXPECT_EQ(conversion.start(utf16, canvas.width(), canvas.height()).output,
            classic_text(painted_at_once(text)));
}

}  // namespace
}  // namespace marquee8
