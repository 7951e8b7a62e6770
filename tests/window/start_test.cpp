// A click on Start: what txtoutput and pic show afterwards, long inputs, and failed runs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include "canvas_pixels.h"
#include "canvas_size.h"
#include "conversion.h"
#include "conversion_error.h"
#include "window_under_test.h"

namespace marquee8::window_test {
namespace {

std::string core_text(std::u16string_view text) {
  return Conversion().start(text, testing::kCanvasWidth, testing::kCanvasHeight).output;
}

void click_start(WindowUnderTest& form) { form.click_start(); }

TEST(Start, DefaultInputGivesTheCoresArrayTextOnTwoLines) {
  WindowUnderTest form;
  click_start(form);
  const QString shown = form.txtoutput().toPlainText();
  EXPECT_EQ(shown, as_shown(core_text(u"825710")));
  const QStringList lines = shown.split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 2);
  EXPECT_TRUE(lines[0].startsWith("byte a[]={0,0,0,0,0,0,0,0, ")) << lines[0].toStdString();
  EXPECT_EQ(lines[1], "int slen= 44;");
  EXPECT_EQ(form.txtinput().text(), "825710");
}

TEST(Start, PicShowsTheDrawnCanvasAndKeepsItThroughRepaints) {
  WindowUnderTest form;
  form.window.show();
  click_start(form);
  const GlyphCanvas expected = fresh_canvas_with(u"825710");
  EXPECT_EQ(first_difference(painted_canvas(form.pic()), expected), "");

  form.window.showMinimized();
  QApplication::processEvents();
  form.window.showNormal();
  form.pic().repaint();
  EXPECT_EQ(first_difference(painted_canvas(form.pic()), expected), "");
}

TEST(Start, ReplacesTextEditedByHand) {
  WindowUnderTest form;
  form.txtoutput().setFocus();
  QTest::keyClicks(&form.txtoutput(), "notes typed by hand");
  form.txtinput().setText("42");
  click_start(form);
  EXPECT_EQ(form.txtoutput().toPlainText(), as_shown(core_text(u"42")));
}

TEST(Start, ShortRunAfterLongRunLeavesNoGhostPixels) {
  WindowUnderTest form;
  form.txtinput().setText(QString(150, QLatin1Char('8')));  // past the visible 669 columns
  click_start(form);
  form.txtinput().setText("1");
  click_start(form);
  EXPECT_EQ(form.txtoutput().toPlainText(), as_shown(core_text(u"1")));
  EXPECT_EQ(first_difference(painted_canvas(form.pic()), fresh_canvas_with(u"1")), "");
}

TEST(Start, PastedTextOfTwoHundredThousandCharactersIsConvertedWhole) {
  WindowUnderTest form;
  QString pasted(200'000, QLatin1Char(' '));
  pasted[199'999] = QLatin1Char('H');
  QApplication::clipboard()->setText(pasted);
  form.txtinput().clear();
  form.txtinput().setFocus();
  QTest::keySequence(&form.txtinput(), QKeySequence::Paste);
  click_start(form);
  const QString shown = form.txtoutput().toPlainText();
  EXPECT_TRUE(shown.startsWith("byte a[]={0,0,0,0,0,0,0,0, 0, 0, "));
  // The last character's H, stem and bar, then its blank column and the one after the text.
  EXPECT_TRUE(shown.endsWith(", 127, 8, 8, 8, 127, 0, 0};\nint slen= 1200008;"))
      << shown.right(60).toStdString();
}

TEST(Start, FailedRunKeepsOutputAndCanvasNamesTheCauseAndLeavesTheWindowUsable) {
  bool fail = false;
  WindowUnderTest form([&](WindowConversion& conversion, const QString& text) {
    if (fail) throw ConversionError(ConversionError::Kind::kFontUnusable, "no 8 point strike");
    return conversion.start(text);
  });
  const std::vector<QString>& reported = form.answers.reported;
  form.window.show();
  form.txtinput().setText("1");
  click_start(form);

  fail = true;
  form.txtinput().setText("825710");
  click_start(form);
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_TRUE(reported[0].contains("font")) << reported[0].toStdString();
  EXPECT_TRUE(reported[0].contains("no 8 point strike")) << reported[0].toStdString();
  EXPECT_EQ(form.txtoutput().toPlainText(), as_shown(core_text(u"1")));
  EXPECT_EQ(first_difference(painted_canvas(form.pic()), fresh_canvas_with(u"1")), "");

  fail = false;
  click_start(form);
  EXPECT_EQ(reported.size(), 1u);
  EXPECT_EQ(form.txtoutput().toPlainText(), as_shown(core_text(u"825710")));
}

}  // namespace
}  // namespace marquee8::window_test
