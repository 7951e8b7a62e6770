// Fonts other than the built-in one: real misc-fixed and DejaVu fonts installed by
// scripts/install-deps test, and a small fixture font that gets everything wrong once.
#include "fonts.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "conversion.h"
#include "conversion_error.h"
#include "font_choice.h"
#include "run_command.h"
#include "temporary_directory.h"
#include "utf8_line.h"

namespace marquee8 {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

const std::string kMisc = "/usr/share/fonts/X11/misc/";
const std::string kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

Conversion with_font(const std::string& font, std::optional<int> size = {}, bool cell = true,
                     int offset = 0) {
  return Conversion(ConversionSettings{testing::font_choice(font, size, cell, offset), {}});
}

std::vector<std::uint8_t> columns(Conversion&& conversion, std::string_view text) {
  return conversion.column_values(Utf8Line::check(text));
}

// A glyph as the font file itself draws it, read from pcf2bdf's text: rows top first.
struct BdfGlyph {
  int x_offset = 0;
  int y_top = 0;  // rows from the baseline up to the first row
  std::vector<std::string> rows;
};

std::map<char, BdfGlyph> bdf_glyphs(const std::string& pcf_gz) {
  const testing::TemporaryDirectory scratch;
  const std::string pcf = (scratch.path() / "font.pcf").string();
  const auto bdf = testing::run_command("gzip -dc " + pcf_gz + " > " + pcf + " && pcf2bdf " + pcf);
  EXPECT_EQ(bdf.status, 0) << bdf.output;
  std::map<char, BdfGlyph> glyphs;
  std::istringstream lines(bdf.output);
  int encoding = -1;
  BdfGlyph glyph;
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string key;
    words >> key;
    if (key == "ENCODING") {
      words >> encoding;
    } else if (key == "BBX") {
      int width, height, y_offset;
      words >> width >> height >> glyph.x_offset >> y_offset;
      glyph.y_top = y_offset + height;
      glyph.rows.clear();
    } else if (key == "ENDCHAR") {
      if (encoding >= 0x20 && encoding < 0x7F) glyphs[static_cast<char>(encoding)] = glyph;
    } else if (key.size() >= 2 && key != "BITMAP" && std::isxdigit(key[0]) &&
               line.find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos) {
      std::string bits;
      for (const char hex : key) {
        const int value = std::stoi(std::string(1, hex), nullptr, 16);
        for (int bit = 3; bit >= 0; --bit) bits += (value >> bit) & 1 ? '#' : '.';
      }
      glyph.rows.push_back(bits);
    }
  }
  return glyphs;
}

// The columns the font's own bitmaps give: 6-column cells, the tallest printable ASCII ink on
// row 1, rows 1 to 8 sampled.
std::vector<std::uint8_t> drawn_from_bitmaps(const std::string& pcf_gz, const std::string& text) {
  const std::map<char, BdfGlyph> glyphs = bdf_glyphs(pcf_gz);
  int tallest = 0;
  for (const auto& [c, glyph] : glyphs) {
    for (std::size_t row = 0; row < glyph.rows.size(); ++row) {
      if (glyph.rows[row].find('#') != std::string::npos) {
        tallest = std::max(tallest, glyph.y_top - static_cast<int>(row));
        break;
      }
    }
  }
  const int baseline = 1 + tallest;
  std::vector<std::uint8_t> values(6 * text.size() + 1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const BdfGlyph& glyph = glyphs.at(text[i]);
    for (std::size_t row = 0; row < glyph.rows.size(); ++row) {
      const int canvas_row = baseline - glyph.y_top + static_cast<int>(row);
      for (std::size_t x = 0; x < glyph.rows[row].size(); ++x) {
        const long column = static_cast<long>(6 * i + x) + glyph.x_offset;
        if (glyph.rows[row][x] == '#' && canvas_row >= 1 && canvas_row <= 8 && column >= 0 &&
            column < std::ssize(values)) {
          values[static_cast<std::size_t>(column)] |=
              static_cast<std::uint8_t>(1 << (canvas_row - 1));
        }
      }
    }
  }
  return values;
}

TEST(Fonts, MiscFixedColumnsAreTheFontsOwnBitmaps) {
  const std::string text = "Hello, World! 825710 gy_|";
  const testing::TemporaryDirectory scratch;
  for (const char* font : {"5x8.pcf.gz", "5x7.pcf.gz", "6x9.pcf.gz"}) {
    SCOPED_TRACE(font);
    const std::vector<std::uint8_t> drawn = drawn_from_bitmaps(kMisc + font, text);
    EXPECT_EQ(columns(with_font(kMisc + font), text), drawn);
    // FreeType reads no compressed BDF itself; inflated first, it is one like any other.
    const std::string bdf_gz = (scratch.path() / font).string() + ".bdf.gz";
    const auto made =
        testing::run_command("gzip -dc " + kMisc + font + " | pcf2bdf | gzip > " + bdf_gz);
    ASSERT_EQ(made.status, 0) << made.output;
    EXPECT_EQ(columns(with_font(bdf_gz), text), drawn);
  }
}

TEST(Fonts, AFamilyNameGivesWhatItsFileGives) {
  const std::string text = "Hello 825710";
  EXPECT_EQ(columns(with_font("Fixed"), text), columns(with_font(kMisc + "5x8.pcf.gz"), text))
      << "the tallest misc-fixed size that fits 8 rows";
  EXPECT_EQ(columns(with_font("fixed", 7), text), columns(with_font(kMisc + "5x7.pcf.gz"), text));
  EXPECT_EQ(columns(with_font("DejaVu Sans"), text), columns(with_font(kDejaVuSans), text));
}

TEST(Fonts, SpacingOffsetAndSizeDoWhatTheySay) {
  // misc-fixed 5x8 advances 5 columns: "Hi" takes 10, and the column after them.
  EXPECT_EQ(columns(with_font(kMisc + "5x8.pcf.gz", {}, false), "Hi").size(), 11u);
  EXPECT_EQ(columns(with_font(kMisc + "5x8.pcf.gz"), "Hi").size(), 13u);
  const std::vector<std::uint8_t> home = columns(with_font("builtin"), "Hg");
  std::vector<std::uint8_t> down, up;
  for (const std::uint8_t value : home) {
    down.push_back(static_cast<std::uint8_t>(value << 1));
    up.push_back(static_cast<std::uint8_t>(value >> 1));
  }
  EXPECT_EQ(columns(with_font("builtin", {}, true, 1), "Hg"), down);
  EXPECT_EQ(columns(with_font("builtin", {}, true, -1), "Hg"), up);
  EXPECT_EQ(columns(with_font("builtin", 11), "Hg"), home) << "its own size in pixels";
}

// An outline font is sized so that printable ASCII fits the 8 rows; one pixel more does not.
TEST(Fonts, OutlineFontsAreFittedToEightRows) {
  std::string ascii;
  for (char c = 0x21; c < 0x7F; ++c) ascii += c;
  Conversion fitted = with_font(kDejaVuSans);
  fitted.column_values(Utf8Line::check(ascii));
  EXPECT_TRUE(fitted.warnings().clipped.empty());
  Conversion larger = with_font(kDejaVuSans, 8);
  larger.column_values(Utf8Line::check(ascii));
  EXPECT_FALSE(larger.warnings().clipped.empty());
}

TEST(Fonts, WarningsNameWhatDoesNotFit) {
  const std::string fixture = std::string(FIXTURE_DIR) + "/warnings.bdf";
  Conversion builtin = with_font("builtin");
  builtin.column_values(Utf8Line::check("a\xE4\xB8\xAD b \xE4\xB8\xAD"));
  EXPECT_THAT(builtin.warnings().missing, ElementsAre(U'中'));
  EXPECT_TRUE(builtin.warnings().blank.empty()) << "a space is meant to be blank";

  Conversion odd = with_font(fixture);
  odd.column_values(Utf8Line::check("a b c d dcba"));
  EXPECT_THAT(odd.warnings().blank, ElementsAre(U'b'));
  EXPECT_THAT(odd.warnings().clipped, ElementsAre(U'c'));
  EXPECT_THAT(odd.warnings().spilling, ElementsAre(U'd'));
  EXPECT_TRUE(odd.warnings().missing.empty());
  const std::vector<std::string> lines = describe(odd.warnings());
  EXPECT_THAT(lines, ElementsAre(HasSubstr("'b' (U+0062)"), HasSubstr("'c' (U+0063)"),
                                 HasSubstr("'d' (U+0064)")));

  Conversion own_widths = with_font(fixture, {}, false);
  own_widths.column_values(Utf8Line::check("d"));
  EXPECT_TRUE(own_widths.warnings().spilling.empty()) << "no cells to spill from";
}

TEST(Fonts, OneConversionSwitchesBetweenFonts) {
  Conversion conversion;
  for (const std::string& font : {kMisc + "5x8.pcf.gz", kDejaVuSans, std::string("builtin")}) {
    FontSettings settings;
    settings.font = font_source_named(font);
    conversion.set_settings(ConversionSettings{settings, {}});
    EXPECT_EQ(conversion.column_values(Utf8Line::check("Hi")), columns(with_font(font), "Hi"))
        << font;
  }
}

TEST(Fonts, AFontThatCannotBeUsedSaysWhichAndWhy) {
  const testing::TemporaryDirectory folder;
  testing::write_file(folder.path() / "broken.ttf", "not a font at all");
  const std::string broken = (folder.path() / "broken.ttf").string();
  const struct {
    std::string font;
    std::optional<int> size;
    std::string message;
  } cases[] = {
      {broken, {}, "the font '" + broken + "' is not a font FreeType reads"},
      {broken + ".missing", {}, "No such file or directory"},
      {kMisc + "5x8.pcf.gz", 9, "has no 9-pixel size; it has 8"},
      {"Fixed", 11, "'Fixed' has no 11-pixel size; it has"},
      {"No Such Family", {}, "no installed font is called 'No Such Family'"},
  };
  for (const auto& c : cases) {
    try {
      with_font(c.font, c.size);
      ADD_FAILURE() << c.font << " was taken";
    } catch (const ConversionError& error) {
      EXPECT_EQ(error.kind(), ConversionError::Kind::kFontUnusable);
      EXPECT_THAT(error.what(), HasSubstr(c.message));
    }
  }
}

}  // namespace
}  // namespace marquee8
