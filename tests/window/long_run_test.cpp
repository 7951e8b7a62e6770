// A Start that takes long: converted off the window's thread with a progress bar and Cancel.
#include <gtest/gtest.h>

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
  std::atomic<bool> released = false;
  MainWindow::Start start() {
    return [this](WindowConversion& conversion, const QString& text) {
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

}  // namespace
}  // namespace marquee8::window_test
