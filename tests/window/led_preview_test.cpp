// The LED preview strip and window, stepped through their timer's seam: no sleeping. The real
// timer only fires while events are processed (a Start processes them while it runs), so each
// test either runs none while a strip animates or pauses it first.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>
#include <string>

#include "conversion.h"
#include "conversion_error.h"
#include "led_preview_window.h"
#include "led_strip.h"
#include "utf8_line.h"
#include "window_under_test.h"

namespace marquee8::window_test {
namespace {

// The array firmware walks: the lead-in's blank columns, then the text's sampled columns.
std::vector<std::uint8_t> walked_array(const std::string& text, int lead_in = 8) {
  std::vector<std::uint8_t> array(static_cast<std::size_t>(lead_in), 0);
  for (const std::uint8_t value : Conversion().column_values(Utf8Line::check(text))) {
    array.push_back(value);
  }
  return array;
}

// Where the strip differs from the array's columns from `first` onwards, wrapping at the end.
std::string first_difference(const LedStrip& strip, const std::vector<std::uint8_t>& array,
                             std::size_t first) {
  for (int column = 0; column < strip.visible_columns(); ++column) {
    const std::uint8_t expected = array[(first + static_cast<std::size_t>(column)) % array.size()];
    for (int row = 0; row < LedStrip::kRows; ++row) {
      if (strip.lit(row, column) != (((expected >> row) & 1) != 0)) {
        return "column " + std::to_string(column) + " row " + std::to_string(row);
      }
    }
  }
  return {};
}

struct ShownWindow : WindowUnderTest {
  using WindowUnderTest::WindowUnderTest;
  LedStrip& strip() { return control<LedStrip>("ledPreview"); }
  void show() {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) throw std::runtime_error("window not shown");
  }
  void ticks(int count) {
    for (int i = 0; i < count; ++i) strip().tick();
  }
};

TEST(LedPreview, SitsRightOfStartClearOfEveryControl) {
  ShownWindow form;
  EXPECT_EQ(form.strip().geometry(), QRect(150, 288, 586, 60));
  for (QWidget* control : form.client_area().findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (control == &form.strip()) continue;
    EXPECT_FALSE(form.strip().geometry().intersects(control->geometry()));
  }
}

TEST(LedPreview, ShowsTheWindowOfColumnsFirmwareWouldAtEachStep) {
  ShownWindow form;
  form.show();
  form.click_start();
  const std::vector<std::uint8_t> array = walked_array("825710");
  ASSERT_EQ(array.size(), 45u);
  EXPECT_GE(form.strip().visible_columns(), 80);
  int stepped = 0;
  for (const int step : {0, 1, 8, 44, 45, 46, 90}) {  // the lead-in, the text, around again
    form.ticks(step - stepped);
    stepped = step;
    EXPECT_EQ(first_difference(form.strip(), array, static_cast<std::size_t>(step) % 45), "")
        << "step " << step;
  }
}

TEST(LedPreview, ShowsWhatIsFlashedUprightWhateverTheBitOrder) {
  ShownWindow form;
  form.show();
  form.action("actionMsbTop").trigger();
  form.action("actionHex").trigger();
  form.click_start();
  EXPECT_EQ(first_difference(form.strip(), walked_array("825710"), 0), "");
  const OutputSettings lead_out{.lead_in = 0, .lead_out = 32};
  form.answers.array_settings = lead_out;
  form.action("actionArraySettings").trigger();
  std::vector<std::uint8_t> with_leads = walked_array("825710", 0);
  with_leads.resize(with_leads.size() + 32, 0);
  EXPECT_EQ(first_difference(form.strip(), with_leads, 0), "");
}

TEST(LedPreview, PausingStopsItAndOnlyAShownStripAnimates) {
  ShownWindow form;
  form.click_start();
  EXPECT_FALSE(form.strip().animating()) << "hidden";
  form.action("actionPausePreview").trigger();
  form.show();
  EXPECT_FALSE(form.strip().animating()) << "paused";
  form.ticks(5);
  EXPECT_EQ(form.strip().step(), 0);
  form.action("actionPausePreview").trigger();
  EXPECT_TRUE(form.strip().animating());
  form.ticks(5);
  EXPECT_EQ(form.strip().step(), 5);
}

TEST(LedPreview, ANewStartRestartsWithTheNewColumnsAndAFailedOneKeepsThem) {
  bool fail = false;
  ShownWindow form([&](WindowConversion& conversion, const QString& text) {
    if (fail) throw ConversionError(ConversionError::Kind::kFontUnusable, "broken");
    return conversion.start(text);
  });
  form.show();
  form.click_start();
  form.ticks(7);
  form.txtinput().setText("HI");
  form.click_start();
  EXPECT_EQ(form.strip().step(), 0);
  EXPECT_EQ(first_difference(form.strip(), walked_array("HI"), 0), "");

  form.ticks(3);
  // A Start serves the window's events while it runs, the strip's timer among them.
  form.action("actionPausePreview").trigger();
  fail = true;
  form.txtinput().setText("825710");
  form.click_start();
  EXPECT_EQ(form.strip().step(), 3);
  EXPECT_EQ(first_difference(form.strip(), walked_array("HI"), 3), "");
}

TEST(LedPreviewWindow, ShowsTheChosenModulesStepsAndClosesAlone) {
  ShownWindow form;
  form.show();
  form.action("actionPausePreview").trigger();
  form.click_start();
  form.action("actionLedPreviewWindow").trigger();
  auto& preview = form.control<LedPreviewWindow>("ledPreviewWindow");
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
  LedStrip& large = preview.strip();
  EXPECT_EQ(large.visible_columns(), 32) << "four 8x8 modules";
  form.control<QSpinBox>("modules").setValue(2);
  EXPECT_EQ(large.visible_columns(), 16);

  EXPECT_TRUE(form.control<QCheckBox>("pause").isChecked()) << "one pause for both";
  form.control<QCheckBox>("pause").setChecked(false);
  EXPECT_FALSE(form.action("actionPausePreview").isChecked());
  form.control<QCheckBox>("pause").setChecked(true);
  QTest::mouseClick(&form.control<QPushButton>("step"), Qt::LeftButton);
  EXPECT_EQ(large.step(), 1);
  EXPECT_EQ(first_difference(large, walked_array("825710"), 1), "");

  preview.close();
  EXPECT_FALSE(large.animating());
  EXPECT_TRUE(form.window.isVisible());
}

}  // namespace
}  // namespace marquee8::window_test
