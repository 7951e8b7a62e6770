// The built-in LED font, checked glyph by glyph as the canvas draws it.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "canvas_size.h"
#include "conversion.h"
#include "sampled_rows.h"

namespace marquee8 {
namespace {

constexpr std::u16string_view kDescenders = u"gjpqy,;Çç¸µþøýÿ¼½¾";
constexpr int kCellWidth = 6;
constexpr std::uint32_t kRow(int y) { return std::uint32_t{1} << y; }

// One glyph drawn alone at (0, 0): the black rows of each column of its cell and the next.
using Cell = std::array<std::uint32_t, 2 * kCellWidth>;

Cell draw(std::u16string_view text) {
  GlyphCanvas canvas(testing::kCanvasWidth, testing::kCanvasHeight);
  canvas = Conversion().start(text, canvas.width(), canvas.height()).canvas;
  Cell cell{};
  for (int x = 0; x < 2 * kCellWidth; ++x) cell[x] = canvas.ink_rows(x);
  return cell;
}

std::uint32_t rows_used(const Cell& cell) {
  std::uint32_t rows = 0;
  for (const std::uint32_t column : cell) rows |= column;
  return rows;
}

std::string name(char16_t c) {
  char text[16];
  if (c >= 0x20 && c < 0x7F) {
    std::snprintf(text, sizeof text, "'%c'", static_cast<char>(c));
  } else {
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
  }
  return text;
}

// Every character the font draws, the hollow box aside.
std::u16string drawn_characters() {
  std::u16string all;
  for (char16_t c = 0x20; c <= 0xFF; ++c) {
    if (c < 0x7F || c >= 0xA0) all += c;
  }
  return all + u"€‘’“”•…–—";
}

class LedFont : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (const char16_t c : drawn_characters()) glyphs_[c] = draw(std::u16string(1, c));
  }
  static std::map<char16_t, Cell> glyphs_;
};
std::map<char16_t, Cell> LedFont::glyphs_;

TEST_F(LedFont, EveryGlyphStaysInColumnsZeroToFourAndRowsOneToEight) {
  for (const auto& [c, cell] : glyphs_) {
    for (int x = 5; x < 2 * kCellWidth; ++x) EXPECT_EQ(cell[x], 0u) << name(c) << " column " << x;
    EXPECT_EQ(rows_used(cell) & ~0x1FEu, 0u) << name(c) << " inks row 0 or a row below 8";
  }
}

// An accented capital reaches row 1 with its accent; Ç's cedilla is checked with the descenders.
TEST_F(LedFont, CapitalsAndDigitsAreSevenRowsTallOnRowsOneToSeven) {
  for (const auto& [c, cell] : glyphs_) {
    const bool latin1 = c >= u'À' && c <= u'Þ' && c != u'×' && c != u'Ç';
    if (!((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || latin1)) continue;
    const std::uint32_t rows = rows_used(cell);
    EXPECT_TRUE(rows & kRow(1)) << name(c) << " does not reach row 1";
    EXPECT_TRUE(rows & kRow(7)) << name(c) << " does not reach row 7";
    EXPECT_FALSE(rows & kRow(8)) << name(c) << " reaches below the baseline";
  }
}

TEST_F(LedFont, OnlyDescendersReachRowEight) {
  for (const auto& [c, cell] : glyphs_) {
    const bool descends = kDescenders.find(c) != std::u16string_view::npos;
    EXPECT_EQ((rows_used(cell) & kRow(8)) != 0, descends) << name(c);
  }
}

TEST_F(LedFont, DigitsShareOneFiveColumnWidth) {
  for (char16_t c = u'0'; c <= u'9'; ++c) {
    EXPECT_NE(glyphs_[c][0], 0u) << name(c);
    EXPECT_NE(glyphs_[c][4], 0u) << name(c);
  }
}

// The bullet is a solid dot; the em dash is two rows thick, as '-' is already five columns long.
TEST_F(LedFont, StrokesAreOnePixelWide) {
  for (const auto& [c, cell] : glyphs_) {
    if (c == u'•' || c == u'—') continue;
    for (int x = 0; x + 1 < kCellWidth; ++x) {
      const std::uint32_t both = cell[x] & cell[x + 1];
      EXPECT_EQ(both & (both >> 1), 0u) << name(c) << " has a 2x2 block at column " << x;
    }
  }
}

// No-break space is a space and the soft hyphen shows as '-'; nothing else may be mistaken.
TEST_F(LedFont, AllGlyphsAreDistinctAndOnlyTheSpacesAreEmpty) {
  const std::map<char16_t, char16_t> twins = {{0xA0, u' '}, {0xAD, u'-'}};
  std::map<Cell, char16_t> seen;
  for (const auto& [c, cell] : glyphs_) {
    EXPECT_EQ(rows_used(cell) == 0, c == u' ' || c == 0xA0) << name(c);
    const auto [other, fresh] = seen.emplace(cell, c);
    if (twins.contains(c)) {
      EXPECT_EQ(other->second, twins.at(c)) << name(c);
    } else {
      EXPECT_TRUE(fresh) << name(c) << " looks the same as " << name(other->second);
    }
  }
  EXPECT_FALSE(seen.contains(draw(u"\xFFFD"))) << "the replacement box copies a glyph";
}

TEST_F(LedFont, MissingCharactersDrawTheHollowBox) {
  const Cell box = draw(u"\xFFFD");
  EXPECT_EQ(box[0], 0xFEu) << "left side, rows 1-7";
  EXPECT_EQ(box[4], 0xFEu) << "right side, rows 1-7";
  for (int x = 1; x < 4; ++x) EXPECT_EQ(box[x], kRow(1) | kRow(7)) << "top and bottom";
  for (const char16_t c :
       {0x00, 0x09, 0x0A, 0x1F, 0x7F, 0x80, 0x9F, 0x100, 0x2012, 0x2015, 0x201A, 0x20AB, 0x4E2D}) {
    EXPECT_EQ(draw(std::u16string(1, c)), box) << name(c);
  }
}

TEST_F(LedFont, EveryGlyphAdvancesSixColumns) {
  const std::u16string all = drawn_characters();
  GlyphCanvas canvas(static_cast<int>(all.size()) * kCellWidth, 29);
  canvas = Conversion().start(all, canvas.width(), canvas.height()).canvas;
  for (std::size_t i = 0; i < all.size(); ++i) {
    for (int x = 0; x < kCellWidth; ++x) {
      ASSERT_EQ(canvas.ink_rows(static_cast<int>(i) * kCellWidth + x), glyphs_[all[i]][x])
          << name(all[i]) << " is not where six columns per character put it";
    }
  }
}

// Letters in a group agree on the rows given: rows 1-2 carry the same accent as the spacing
// accent that leads the group, rows 3-8 the same body as its first letter, and a cedilla adds
// only row 8.
TEST_F(LedFont, AccentedLettersShareTheirAccentsAndBodies) {
  const std::vector<std::pair<std::uint32_t, std::vector<std::u16string_view>>> groups = {
      {kRow(1) | kRow(2),
       {u"`ÀÈÌÒÙàèìòù", u"´ÁÉÍÓÚÝáéíóúý", u"^ÂÊÎÔÛâêîôû", u"ÃÑÕãñõ", u"¨ÄËÏÖÜäëïöüÿ", u"Åå"}},
      {0x1F8,
       {u"aàáâãäå", u"eèéêë", u"iìíîï", u"nñ", u"oòóôõö", u"uùúûü", u"yýÿ", u"ÀÁÂÃÄÅ", u"ÈÉÊË",
        u"ÌÍÎÏ", u"ÒÓÔÕÖ", u"ÙÚÛÜ"}},
      {0xFE, {u"CÇ", u"cç"}}};
  for (const auto& [rows, letters] : groups) {
    for (const std::u16string_view group : letters) {
      for (const char16_t c : group.substr(1)) {
        for (int x = 0; x < kCellWidth; ++x) {
          EXPECT_EQ(glyphs_.at(c)[x] & rows, glyphs_.at(group[0])[x] & rows)
              << name(c) << " and " << name(group[0]) << " differ in column " << x;
        }
      }
    }
  }
}

// The golden file was written from the font before Latin-1 was added: those bytes must not move.
TEST_F(LedFont, AsciiAndTheBoxKeepTheirColumnValues) {
  std::string actual;
  const auto add = [&actual](char16_t c, const Cell& cell) {
    char line[64];
    int n = std::snprintf(line, sizeof line, "U+%04X", static_cast<unsigned>(c));
    for (int x = 0; x < kCellWidth; ++x) {
      n += std::snprintf(line + n, sizeof line - n, " %02X", column_value(cell[x]));
    }
    actual.append(line).append("\n");
  };
  for (char16_t c = 0x20; c <= 0x7E; ++c) add(c, glyphs_[c]);
  add(0xFFFD, draw(u"\xFFFD"));
  std::ifstream file(std::string(GOLDEN_DIR) + "/led-font-ascii.txt");
  EXPECT_EQ(actual, std::string(std::istreambuf_iterator<char>(file), {}));
}

}  // namespace
}  // namespace marquee8
