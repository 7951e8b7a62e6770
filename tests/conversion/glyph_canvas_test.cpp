#include "glyph_canvas.h"

#include <gtest/gtest.h>

#include "canvas_art.h"

namespace marquee8 {
namespace {

using testing::art;
using testing::lines;

GlyphCanvas canvas_at_8_points() {
  GlyphCanvas canvas;
  canvas.set_font_size(8);
  return canvas;
}

TEST(GlyphCanvas, StartsBlankWithTheDefaultDrawableArea) {
  const GlyphCanvas canvas;
  EXPECT_EQ(canvas.width(), 669);
  EXPECT_EQ(canvas.height(), 29);
  for (const auto& [x, y] : {std::pair{0, 0}, {668, 28}, {300, 14}}) {
    EXPECT_EQ(canvas.pixel(x, y), GlyphCanvas::kBackground) << x << "," << y;
  }
  EXPECT_NE(GlyphCanvas::kBackground, kBlack);
}

TEST(GlyphCanvas, ReadsOutsideTheDrawableAreaGiveMinusOne) {
  GlyphCanvas canvas;
  for (int x = 0; x < 669; ++x) canvas.set_pixel(x, 28, kBlack);
  for (const auto& [x, y] : {std::pair{669, 0}, {0, 29}, {-1, 0}, {0, -1}, {100000, 5}}) {
    EXPECT_EQ(canvas.pixel(x, y), kOutside) << x << "," << y;
    EXPECT_EQ(canvas.black_rows(x) & (y >= 0 && y < 29 ? 1u << y : 0u), 0u) << x << "," << y;
  }
  EXPECT_EQ(canvas.pixel(668, 28), kBlack);
}

TEST(GlyphCanvas, KeepsEveryColourThatIsSet) {
  GlyphCanvas canvas;
  canvas.set_pixel(3, 4, 0x010101);  // near black, as a smoothed edge would be
  canvas.set_pixel(5, 6, 0x0000FF);  // red sits in the low byte
  canvas.set_pixel(7, 8, kBlack);
  canvas.set_pixel(700, 8, kBlack);  // off the canvas: nothing happens
  EXPECT_EQ(canvas.pixel(3, 4), 0x010101);
  EXPECT_EQ(canvas.pixel(5, 6), 0x0000FF);
  EXPECT_EQ(canvas.pixel(7, 8), kBlack);
  EXPECT_EQ(canvas.black_rows(3), 0u) << "near black is not black";
  EXPECT_EQ(canvas.black_rows(7), 1u << 8);

  canvas.set_pixel(7, 8, 0x010101);
  EXPECT_EQ(canvas.black_rows(7), 0u);
  canvas.clear();
  EXPECT_EQ(canvas.pixel(3, 4), GlyphCanvas::kBackground);
}

TEST(GlyphCanvas, DrawsTheCharacterCellFromTheDrawingPosition) {
  GlyphCanvas canvas = canvas_at_8_points();
  canvas.set_position(2, 3);
  canvas.draw_text(u"L");
  // The cell's row 1 (the top of a capital) lands one row under the position's row.
  EXPECT_EQ(art(canvas, 3, 12, 9), lines({".........",  //
                                          "..#......",  //
                                          "..#......",  //
                                          "..#......",  //
                                          "..#......",  //
                                          "..#......",  //
                                          "..#......",  //
                                          "..#####..",  //
                                          ".........",  //
                                          "........."}));
}

TEST(GlyphCanvas, PaintsOnlyStrokesAndKeepsWhatWasThere) {
  GlyphCanvas canvas = canvas_at_8_points();
  canvas.set_position(0, 0);
  canvas.draw_text(u"WWWW");
  canvas.set_pixel(2, 4, 0x123456);  // where the I's stem will go
  canvas.set_position(0, 0);
  canvas.draw_text(u"I");
  // The shorter second text leaves the first one's strokes standing beside and around it.
  EXPECT_EQ(art(canvas, 1, 7, 24), lines({"#####.#...#.#...#.#...#.",  //
                                          "#.#.#.#...#.#...#.#...#.",  //
                                          "#.#.#.#...#.#...#.#...#.",  //
                                          "#.#.#.#.#.#.#.#.#.#.#.#.",  //
                                          "#.#.#.#.#.#.#.#.#.#.#.#.",  //
                                          "#.#.#.#.#.#.#.#.#.#.#.#.",  //
                                          ".###...#.#...#.#...#.#.."}));
  EXPECT_EQ(canvas.pixel(2, 4), kBlack) << "a stroke paints over any colour";
}

TEST(GlyphCanvas, DrawingNothingChangesNothing) {
  GlyphCanvas canvas = canvas_at_8_points();
  canvas.set_pixel(1, 1, 0x00FF00);
  canvas.draw_text(u"");
  EXPECT_EQ(art(canvas, 0, 28, 669), art(GlyphCanvas(), 0, 28, 669));
  EXPECT_EQ(canvas.pixel(1, 1), 0x00FF00);
}

TEST(GlyphCanvas, SurrogatePairIsOneGlyphAndLoneSurrogatesAreBoxes) {
  GlyphCanvas pair = canvas_at_8_points();
  pair.draw_text(u"\U0001F600A");  // two code units, one glyph, then A right after it
  GlyphCanvas boxes = canvas_at_8_points();
  boxes.draw_text(
      u"\xFFFD"
      u"A");
  EXPECT_EQ(art(pair, 0, 10, 20), art(boxes, 0, 10, 20));

  GlyphCanvas lone = canvas_at_8_points();
  const char16_t units[] = {0xDC00, 0xD800, u'A'};  // low before high: neither pairs
  lone.draw_text({units, 3});
  GlyphCanvas expected = canvas_at_8_points();
  expected.draw_text(
      u"\xFFFD\xFFFD"
      u"A");
  EXPECT_EQ(art(lone, 0, 10, 20), art(expected, 0, 10, 20));
}

TEST(GlyphCanvas, ResizeKeepsWhatFitsAndRefusesImpossibleSizes) {
  GlyphCanvas canvas;
  canvas.set_pixel(10, 20, kBlack);
  canvas.set_pixel(600, 2, 0x00FF00);
  canvas.resize(2000, 29);
  EXPECT_EQ(canvas.pixel(10, 20), kBlack);
  EXPECT_EQ(canvas.pixel(1999, 0), GlyphCanvas::kBackground);
  canvas.resize(100, 16);
  EXPECT_EQ(canvas.pixel(10, 20), kOutside);
  canvas.resize(669, 29);
  EXPECT_EQ(canvas.pixel(10, 20), GlyphCanvas::kBackground) << "cut pixels do not come back";
  EXPECT_EQ(canvas.pixel(600, 2), GlyphCanvas::kBackground);

  EXPECT_THROW(canvas.resize(10, 33), std::length_error);
  EXPECT_THROW(canvas.resize(-1, 29), std::length_error);
  EXPECT_NO_THROW(canvas.resize(10, 32));
}

TEST(GlyphCanvas, RefusesASizeTheBitmapFontDoesNotHave) {
  GlyphCanvas canvas;
  EXPECT_THROW(canvas.set_font_size(24), FontError);
  EXPECT_NO_THROW(canvas.set_font_size(8));
}

TEST(FontFace, ReportsFontBytesFreeTypeCannotRead) {
  static const unsigned char kNotAFont[] = "STARTFONT nonsense";
  EXPECT_THROW(FontFace{std::span<const unsigned char>(kNotAFont)}, FontError);
}

}  // namespace
}  // namespace marquee8
