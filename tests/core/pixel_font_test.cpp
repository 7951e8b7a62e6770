// A pixel font shipped as TrueType (Debian's fonts-misaki: kana and kanji drawn on 8×8 pixels)
// is drawn at the size it was made for, while other fonts are fitted to the 8 rows as before.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "conversion.h"
#include "font_choice.h"
#include "font_face.h"
#include "preview.h"
#include "utf8_line.h"

namespace marquee8 {
namespace {

const std::string kMisaki = "/usr/share/fonts/truetype/misaki/";

TEST(PixelFonts, TheGridIsThePixelSizeTheFontWasMadeFor) {
  const struct {
    std::string file;
    std::optional<int> grid;
  } cases[] = {
      {kMisaki + "misaki_gothic.ttf", 8},
      {kMisaki + "misaki_mincho.ttf", 8},
      {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", {}},  // curves, on no grid
      {"/usr/share/fonts/X11/misc/5x8.pcf.gz", {}},             // bitmaps: its strikes say
  };
  for (const auto& c : cases) EXPECT_EQ(FontFace::from_file(c.file).pixel_grid(), c.grid) << c.file;
  EXPECT_EQ(FontFace::builtin().pixel_grid(), std::nullopt);
}

std::vector<std::uint8_t> columns(const FontSettings& font, const std::string& text) {
  return Conversion(ConversionSettings{font, {}}).column_values(Utf8Line::check(text));
}

// Left to itself each font takes the size named here: the largest whose printable ASCII fits
// 8 rows (DejaVu Sans at 7 px, misc-fixed's 5x8), and a pixel font its own.
TEST(PixelFonts, EachFontTakesTheSizeItFitsBest) {
  const struct {
    std::string font;
    int size;
  } cases[] = {{"DejaVu Sans", 7}, {"Fixed", 8}, {"MisakiGothic", 8}, {"MisakiMincho", 8}};
  const std::string text = "Hg|_ 825710 東";
  for (const auto& c : cases) {
    EXPECT_EQ(columns(testing::font_choice(c.font), text),
              columns(testing::font_choice(c.font, c.size), text))
        << c.font;
  }
}

// The pictures are the characters' strokes, one font pixel to one LED, 8 columns apart as the
// font spaces them; either of the family's names finds it.
TEST(PixelFonts, ChineseAndJapaneseAreCrispOnEightRows) {
  const struct {
    std::string font;
    std::string text;
    std::string picture;
  } cases[] = {
      {"MisakiGothic", "中文",
       "...#.......#.....\n"
       "#######.#######..\n"
       "#..#..#...#.#....\n"
       "#..#..#...#.#....\n"
       "#######....#.....\n"
       "...#......#.#....\n"
       "...#....##...##..\n"
       ".................\n"},
      {"美咲ゴシック", "東京",
       "...#.......#.....\n"
       "#######.#######..\n"
       ".#.#.#...#...#...\n"
       ".#####...#####...\n"
       ".#.#.#.....#.....\n"
       "..###....#.#.#...\n"
       "##.#.##.#.##..#..\n"
       ".................\n"},
      {"misakigothic", "ひらがな",
       "..#.#.....##......#.#.#...#......\n"
       "###..#......#.....#.....####.#...\n"
       "..#..##..#......####.#....#...#..\n"
       ".#...#...#.###....#.#.#..#...#...\n"
       ".#...#...##...#..#..#.#.#..###...\n"
       ".#...#........#..#..#.....#..##..\n"
       "..###.....####..#.##.......##....\n"
       ".................................\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(preview(columns(testing::font_choice(c.font, {}, false), c.text)), c.picture)
        << c.text;
  }
}

}  // namespace
}  // namespace marquee8
