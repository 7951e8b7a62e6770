#include "glyph_canvas.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "canvas_size.h"

namespace marquee8 {
namespace {

TEST(GlyphCanvas, ReadsOffTheDrawableAreaAreBackground) {
  GlyphCanvas canvas(testing::kCanvasWidth, testing::kCanvasHeight);
  const std::vector<std::uint32_t> all_ink(700, ~0u);
  canvas.paint_columns(0, all_ink);
  for (const auto& [x, y] : {std::pair{669, 0}, {0, 29}, {-1, 0}, {0, -1}, {100000, 5}}) {
    EXPECT_FALSE(canvas.inked(x, y)) << x << "," << y;
  }
  EXPECT_TRUE(canvas.inked(668, 28));
  EXPECT_EQ(canvas.ink_rows(0), (1u << 29) - 1) << "rows below the canvas are cut off";
  EXPECT_EQ(canvas.ink_rows(669), 0u);
}

TEST(GlyphCanvas, PaintsColumnsFromWhereTheyStart) {
  GlyphCanvas canvas(10, 8);
  canvas.paint_columns(7, std::vector<std::uint32_t>{1, 2, 4, 8});  // the last one is off
  EXPECT_EQ(canvas.ink_rows(6), 0u);
  EXPECT_EQ(canvas.ink_rows(7), 1u);
  EXPECT_EQ(canvas.ink_rows(9), 4u);
  canvas.paint_columns(20, std::vector<std::uint32_t>{1});  // wholly off: nothing happens
  for (const int x : {0, 6, 10, 20}) EXPECT_EQ(canvas.ink_rows(x), 0u) << x;
}

TEST(GlyphCanvas, RefusesImpossibleSizes) {
  EXPECT_THROW(GlyphCanvas(10, 33), std::invalid_argument);
  EXPECT_THROW(GlyphCanvas(-1, 29), std::invalid_argument);
  const GlyphCanvas tallest(10, 32);
  EXPECT_EQ(tallest.height(), 32);
}

}  // namespace
}  // namespace marquee8
