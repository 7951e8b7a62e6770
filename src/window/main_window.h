#pragma once

#include <QString>
#include <QWidget>
#include <functional>

#include "core_adapter.h"

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
  using Start = std::function<StartResult(const QString& text)>;
  using FailureReporter = std::function<void(QWidget* window, const QString& message)>;

  static Start default_start();                       // the core's Start command
  static FailureReporter default_failure_reporter();  // a modal error box

  explicit MainWindow(Start start = default_start(),
                      FailureReporter report_failure = default_failure_reporter(),
                      QWidget* parent = nullptr);

 private:
  void run_start();

  Start start_command_;
  FailureReporter report_failure_;
  QLabel* label_;
  QLineEdit* input_;
  CanvasView* canvas_view_;
  QPlainTextEdit* output_;
  QPushButton* start_;
};

}  // namespace marquee8
