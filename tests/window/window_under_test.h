#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <stdexcept>
#include <string>
#include <utility>

#include "main_window.h"

namespace marquee8::window_test {

// The real window with its controls looked up by their object names, as a user's script would.
struct WindowUnderTest {
  explicit WindowUnderTest(
      MainWindow::Start start = MainWindow::default_start(),
      MainWindow::FailureReporter report = MainWindow::default_failure_reporter())
      : window(std::move(start), std::move(report)) {}

  template <typename Control>
  Control& control(const char* name) {
    auto* found = window.findChild<Control*>(QString::fromLatin1(name));
    if (found == nullptr) throw std::logic_error(std::string("no control ") + name);
    return *found;
  }
  QLineEdit& txtinput() { return control<QLineEdit>("txtinput"); }
  QPushButton& command1() { return control<QPushButton>("Command1"); }
  QPlainTextEdit& txtoutput() { return control<QPlainTextEdit>("txtoutput"); }
  QWidget& pic() { return control<QWidget>("pic"); }
  QLabel& label1() { return control<QLabel>("Label1"); }

  MainWindow window;
};

// The text box shows the core's CR LF as one line break.
inline QString as_shown(const std::string& array_text) {
  return QString::fromStdString(array_text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace marquee8::window_test
