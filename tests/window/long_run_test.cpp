// A Start that takes long: converted off the window's thread with a progress bar and Cancel.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeySequence>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "window_under_test.h"

namespace marquee8::window_test {
namespace {

// A Start that waits for the test's word before it converts, so the test sees the run under way;
// a window that never shows the progress bar gets no word, and the wait ends after a while.
struct HeldStart {
  std::atomic<bool> entered = false;
  std::atomic<bool> released = false;
  MainWindow::Start start() {
    return [this](WindowConversion& conversion, const QString& text) {
      entered = true;
      const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      while (!released && std::chrono::steady_clock::now() < give_up) std::this_thread::yield();
      return conversion.start(text);
    };
  }
};

// Once the progress bar shows, does `act` and lets the Start go on.
void when_progress_shows(WindowUnderTest& form, HeldStart& held, std::function<void()> act) {
  auto* poll = new QTimer(&form.window);
  QObject::connect(poll, &QTimer::timeout, &form.window, [&form, &held, poll, act] {
    if (!form.control<QProgressBar>("runProgressBar").isVisible()) return;
    poll->stop();
    act();
    held.released = true;
  });
  poll->start(20);
}

TEST(LongRun, CancelStopsTheRunAndKeepsWhatWasShown) {
  HeldStart held;
  WindowUnderTest form(held.start());
  form.window.show();
  form.txtinput().setText(QString(1'000'000, QLatin1Char('W')));
  when_progress_shows(form, held, [&] {
    EXPECT_TRUE(form.control<QPushButton>("runCancel").isVisible());
    QTest::mouseClick(&form.control<QPushButton>("runCancel"), Qt::LeftButton);
  });
  form.click_start();
  EXPECT_EQ(form.txtoutput().toPlainText(), "Text1");
  EXPECT_TRUE(form.answers.reported.empty()) << "a cancel is no failure";
  EXPECT_FALSE(form.control<QProgressBar>("runProgressBar").isVisible());
  EXPECT_FALSE(form.action("actionSaveOutputAs").isEnabled());

  form.txtinput().setText("1");
  held.released = true;
  form.click_start();
  EXPECT_TRUE(form.txtoutput().toPlainText().startsWith("byte a[]={"));
}

TEST(LongRun, ClosingTheWindowCancelsTheRunAndThenCloses) {
  HeldStart held;
  WindowUnderTest form(held.start());
  form.window.show();
  form.txtinput().setText(QString(1'000'000, QLatin1Char('W')));
  when_progress_shows(form, held, [&] { form.window.close(); });
  form.click_start();
  EXPECT_FALSE(form.window.isVisible());
  EXPECT_EQ(form.txtoutput().toPlainText(), "Text1");
}

// Ctrl+Q while the worker runs, before the progress bar shows (a quick hand) and after it.
class QuitDuringARun : public testing::TestWithParam<bool> {};

TEST_P(QuitDuringARun, EndsTheRunClosesTheWindowAndKeepsTheSettings) {
  const bool wait_for_progress_bar = GetParam();
  {
    HeldStart held;
    WindowUnderTest form(held.start());
    form.window.show();
    // The desktops' Quit keys; the offscreen platform has none.
    form.action("actionQuit").setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QApplication::setActiveWindow(&form.window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form.window));
    form.action("actionHex").trigger();
    form.txtinput().setText(QString(300'000, QLatin1Char('W')));
    auto* poll = new QTimer(&form.window);
    QObject::connect(poll, &QTimer::timeout, &form.window, [&] {
      if (!held.entered) return;
      if (wait_for_progress_bar && !form.control<QProgressBar>("runProgressBar").isVisible()) {
        return;
      }
      poll->stop();
      QTest::keyClick(&form.window, Qt::Key_Q, Qt::ControlModifier);
      held.released = true;
    });
    poll->start(10);
    form.click_start();
    EXPECT_FALSE(form.window.isVisible()) << "Ctrl+Q was lost during the run";
    EXPECT_EQ(form.txtoutput().toPlainText(), "Text1");
  }
  WindowUnderTest next(MainWindow::default_start(), /*keep_stored_settings=*/true);
  EXPECT_TRUE(next.action("actionHex").isChecked());
}

INSTANTIATE_TEST_SUITE_P(Moments, QuitDuringARun, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& moment) {
                           return moment.param ? "AfterTheProgressBarShows" : "AtOnce";
                         });

}  // namespace
}  // namespace marquee8::window_test
