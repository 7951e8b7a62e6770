#pragma once

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "main_window.h"

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace marquee8::window_test {

// Answers the window's dialogs as a test says and records what it was told.
struct DialogAnswers {
  std::vector<QString> reported;
  std::optional<QString> save_path;
  std::optional<SaveSuggestion> save_suggested;
  std::optional<OutputSettings> array_settings;
  std::vector<QString> informed;
  std::optional<QString> font_file;
  std::optional<QString> installed_font;
  std::optional<int> number;

  WindowDialogs dialogs() {
    return {[this](QWidget*, const QString& message) { reported.push_back(message); },
            [this](QWidget*, const SaveSuggestion& suggested) {
              save_suggested = suggested;
              return save_path;
            },
            [this](QWidget*, const OutputSettings&) { return array_settings; },
            [this](QWidget*, const QString&, const QString& text) { informed.push_back(text); },
            [this](QWidget*) { return font_file; },
            [this](QWidget*, const QStringList&) { return installed_font; },
            [this](QWidget*, const QString&, const QString&, int, int, int) { return number; }};
  }
};

// Forgets what earlier windows stored, unless told to keep it. The tests' settings live in a
// scratch folder that test_main sets up, never in the user's own.
struct StoredSettings {
  explicit StoredSettings(bool keep) {
    if (!keep) QSettings(QStringLiteral("marquee8"), QStringLiteral("marquee8")).clear();
  }
};

// The real window with its controls and menu actions looked up by their object names, as a
// user's script would.
struct WindowUnderTest {
  explicit WindowUnderTest(MainWindow::Start start = MainWindow::default_start(),
                           bool keep_stored_settings = false)
      : stored(keep_stored_settings), window(answers.dialogs(), std::move(start)) {}

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
  QWidget& client_area() { return control<QWidget>("clientArea"); }
  QLabel& summary() { return control<QLabel>("summary"); }
  QAction& action(const std::string& name) { return control<QAction>(name.c_str()); }

  void click_start() { QTest::mouseClick(&command1(), Qt::LeftButton); }

  StoredSettings stored;
  DialogAnswers answers;
  MainWindow window;
};

// The text box shows the core's CR LF as one line break.
inline QString as_shown(const std::string& array_text) {
  return QString::fromStdString(array_text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace marquee8::window_test
