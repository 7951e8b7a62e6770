#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <string>
#include <string_view>

#include "glyph_canvas.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace marquee8 {

class CanvasView;

// Form1: the prompt, the input box, the canvas, the output box and the Start button, at fixed
// pixel positions. Only a click on Start does anything of ours.
class MainWindow : public QWidget {
  Q_OBJECT

 public:
  using Conversion = std::function<std::string(std::u16string_view text, GlyphCanvas& canvas)>;
  using FailureReporter = std::function<void(QWidget* window, const QString& message)>;

  static Conversion default_conversion();
  static FailureReporter default_failure_reporter();  // a modal error box

  explicit MainWindow(Conversion convert = default_conversion(),
                      FailureReporter report_failure = default_failure_reporter(),
                      QWidget* parent = nullptr);

 private:
  void run_start();
  void show_canvas();  // what the canvas holds now, on pic

  Conversion convert_;
  FailureReporter report_failure_;
  GlyphCanvas canvas_;
  QLabel* label_;
  QLineEdit* input_;
  CanvasView* canvas_view_;
  QPlainTextEdit* output_;
  QPushButton* start_;
};

}  // namespace marquee8
