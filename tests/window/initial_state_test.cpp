// The window as it opens: names, texts, places, tab order and focus, and that nothing moves.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "canvas_pixels.h"
#include "window_under_test.h"

namespace marquee8::window_test {
namespace {

TEST(InitialState, WindowHasItsCaptionAndClientSizeBetweenMenuAndStatusBar) {
  WindowUnderTest form;
  form.window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form.window));
  EXPECT_EQ(form.window.objectName(), "Form1");
  EXPECT_EQ(form.window.windowTitle(), "Form1");
  EXPECT_EQ(form.client_area().size(), QSize(747, 349));
  EXPECT_EQ(form.summary().text(), "") << "nothing to report before the first Start";
}

TEST(InitialState, ControlsHaveTheirTextsAndPixelGeometry) {
  WindowUnderTest form;
  EXPECT_EQ(form.txtinput().text(), "825710");
  EXPECT_EQ(form.command1().text(), "Start");
  EXPECT_EQ(form.txtoutput().toPlainText(), "Text1");
  EXPECT_EQ(form.label1().text(), QString::fromUtf8("請輸入您要顯示的數字"));

  EXPECT_EQ(form.txtinput().geometry(), QRect(208, 24, 81, 33));
  EXPECT_EQ(form.command1().geometry(), QRect(56, 296, 81, 33));
  EXPECT_EQ(form.txtoutput().geometry(), QRect(32, 152, 689, 129));
  EXPECT_EQ(form.pic().geometry(), QRect(40, 88, 673, 33));
  EXPECT_EQ(form.label1().geometry(), QRect(16, 24, 153, 25));

  EXPECT_EQ(form.pic().contentsRect(), QRect(2, 2, 669, 29));
  EXPECT_FALSE(form.txtoutput().isReadOnly());
  EXPECT_FALSE(form.txtinput().isReadOnly());
  for (QWidget* control : form.client_area().findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    EXPECT_FALSE(control->testAttribute(Qt::WA_SetFont)) << control->objectName().toStdString();
  }
}

TEST(InitialState, PicStartsBlank) {
  WindowUnderTest form;
  EXPECT_EQ(first_difference(painted_canvas(form.pic()), GlyphCanvas()), "");
}

TEST(InitialState, TabWalksPicOutputStartInputAndFocusStartsOnPic) {
  WindowUnderTest form;
  form.window.show();
  QApplication::setActiveWindow(&form.window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form.window));

  EXPECT_EQ(QApplication::focusWidget(), &form.pic());
  EXPECT_EQ(form.label1().focusPolicy(), Qt::NoFocus);

  const std::vector<QWidget*> order = {&form.txtoutput(), &form.command1(), &form.txtinput(),
                                       &form.pic()};
  for (QWidget* expected : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), expected) << expected->objectName().toStdString();
  }
  EXPECT_EQ(form.txtoutput().toPlainText(), "Text1") << "Tab typed into the output box";
}

TEST(InitialState, ResizingMovesAndResizesNoControl) {
  WindowUnderTest form;
  form.window.show();
  const auto geometries = [&] {
    std::vector<QRect> result;
    for (QWidget* control : form.client_area().findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      result.push_back(control->geometry());
    }
    return result;
  };
  const std::vector<QRect> before = geometries();
  for (QSize size : {QSize(200, 120), QSize(1400, 900)}) {
    form.window.resize(size);
    QApplication::processEvents();
    EXPECT_EQ(geometries(), before) << size.width() << "x" << size.height();
  }
}

}  // namespace
}  // namespace marquee8::window_test
