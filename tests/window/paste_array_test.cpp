// Edit > Paste Array: an existing array shown on the canvas, the preview, the status bar and
// the output box, as --decode would write it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>

#include "array_reader.h"
#include "array_writer.h"
#include "canvas_pixels.h"
#include "canvas_size.h"
#include "conversion.h"
#include "led_strip.h"
#include "window_under_test.h"

namespace marquee8::window_test {
namespace {

const QString kClassicHi = QStringLiteral(
    "byte a[]={0,0,0,0,0,0,0,0, 127, 8, 8, 8, 127, 0, 0, "
    "65, 127, 65, 0, 0, 0};\r\nint slen= 20;");

// What `marquee8 --decode` writes for `array` with `settings`, as the output box shows it.
QString decoded(const QString& array, OutputSettings settings) {
  settings.lead_in = 0;
  StringSink out;
  const std::vector<std::uint8_t> values = read_array(array.toStdString());
  write_array(settings, values, out);
  return as_shown(out.text()).chopped(1);
}

void paste(WindowUnderTest& form, const QString& array) {
  QApplication::clipboard()->setText(array);
  form.action("actionPasteArray").trigger();
}

TEST(PasteArray, ShowsTheArrayEverywhereAStartWould) {
  WindowUnderTest form;
  form.window.show();
  form.action("actionPausePreview").trigger();
  paste(form, kClassicHi);
  ASSERT_TRUE(form.answers.reported.empty()) << form.answers.reported.front().toStdString();

  // The canvas shows the columns on rows 1 to 8, the lead-in left of them.
  GlyphCanvas expected(testing::kCanvasWidth, testing::kCanvasHeight);
  expected = Conversion().start(u"HI", expected.width(), expected.height()).canvas;
  GlyphCanvas shifted(testing::kCanvasWidth, testing::kCanvasHeight);
  std::vector<std::uint32_t> columns(8, 0);
  for (int x = 0; x < 13; ++x) columns.push_back(expected.ink_rows(x));
  shifted.paint_columns(0, columns);
  EXPECT_EQ(first_difference(painted_canvas(form.pic()), shifted), "");

  EXPECT_EQ(form.summary().text(), QString::fromUtf8("21 columns · 21 bytes"));
  const LedStrip& strip = form.control<LedStrip>("ledPreview");
  EXPECT_TRUE(strip.lit(0, 8)) << "the H's stem after the lead-in";
  EXPECT_FALSE(strip.lit(0, 7));
  EXPECT_EQ(form.txtoutput().toPlainText(), decoded(kClassicHi, {}));
  form.action("actionFormat_c").trigger();
  EXPECT_EQ(form.txtoutput().toPlainText(), decoded(kClassicHi, {.format = OutputFormat::kC}));
}

// The pasted array's bit order is its own; Output → Top Row Is Bit 7 writes it in another.
TEST(PasteArray, ReadsTheArraysOwnBitOrderAndWritesTheOutputs) {
  QString reversed = kClassicHi;
  reversed.replace(" 127,", " 254,").replace(" 8,", " 16,").replace(" 65,", " 130,");
  const struct {
    bool pasted_msb_top;
    bool output_msb_top;
    QString array;
    const char* shown;
  } cases[] = {
      {true, true, reversed, " 254, 16, 16, 16, 254,"},
      {true, false, reversed, " 127, 8, 8, 8, 127,"},
      {false, true, kClassicHi, " 254, 16, 16, 16, 254,"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    WindowUnderTest form;
    if (c.pasted_msb_top) form.action("actionPastedMsbTop").trigger();
    paste(form, c.array);
    const LedStrip& strip = form.control<LedStrip>("ledPreview");
    EXPECT_TRUE(strip.lit(0, 8) && strip.lit(6, 8) && !strip.lit(7, 8)) << "upright";
    // Changed after the paste, the output's order writes the same array again.
    if (c.output_msb_top) form.action("actionMsbTop").trigger();
    EXPECT_TRUE(form.txtoutput().toPlainText().contains(c.shown))
        << form.txtoutput().toPlainText().toStdString();
  }
}

TEST(PasteArray, WhatCannotBeReadIsNamedAndNothingChanges) {
  WindowUnderTest form;
  form.click_start();
  const QString before = form.txtoutput().toPlainText();
  paste(form, QStringLiteral("byte a[]={1, 2,\n 300};"));
  ASSERT_EQ(form.answers.reported.size(), 1u);
  EXPECT_TRUE(form.answers.reported[0].contains("line 2, column 2"))
      << form.answers.reported[0].toStdString();
  EXPECT_EQ(form.txtoutput().toPlainText(), before);
}

}  // namespace
}  // namespace marquee8::window_test
