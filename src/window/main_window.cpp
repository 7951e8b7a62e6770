#include "main_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <exception>
#include <limits>
#include <memory>
#include <utility>

#include "canvas_view.h"

namespace marquee8 {
namespace {

// Children are placed by hand and no layout is installed, so resizing the window moves nothing.
template <typename Widget>
Widget* place(Widget* widget, const char* name, QRect geometry) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(geometry);
  return widget;
}

}  // namespace

MainWindow::Start MainWindow::default_start() {
  auto conversion = std::make_shared<WindowConversion>();
  return [conversion](const QString& text) { return conversion->start(text); };
}

MainWindow::FailureReporter MainWindow::default_failure_reporter() {
  return [](QWidget* window, const QString& message) {
    QMessageBox::critical(window, window->windowTitle(), message);
  };
}

MainWindow::MainWindow(Start start, FailureReporter report_failure, QWidget* parent)
    : QWidget(parent),
      start_command_(std::move(start)),
      report_failure_(std::move(report_failure)),
      label_(place(new QLabel(QStringLiteral("請輸入您要顯示的數字"), this), "Label1",
                   {16, 24, 153, 25})),
      input_(place(new QLineEdit(default_text(), this), "txtinput", {208, 24, 81, 33})),
      canvas_view_(place(new CanvasView(this), "pic", {40, 88, 673, 33})),
      output_(place(new QPlainTextEdit(QStringLiteral("Text1"), this), "txtoutput",
                    {32, 152, 689, 129})),
      start_(place(new QPushButton(QStringLiteral("Start"), this), "Command1", {56, 296, 81, 33})) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Form1"));
  resize(747, 349);

  // Qt's default of 32767 would silently cut a long pasted text.
  input_->setMaxLength(std::numeric_limits<int>::max());

  // The first line holds thousands of comma-separated values; wrapping at their spaces keeps
  // all of it readable without scrolling sideways.
  output_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  output_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  // Tab moves on through the tab order, as in the input box, instead of typing a tab.
  output_->setTabChangesFocus(true);

  setTabOrder(canvas_view_, output_);
  setTabOrder(output_, start_);
  setTabOrder(start_, input_);
  canvas_view_->setFocus();

  canvas_view_->show_image(blank_canvas());
  connect(start_, &QPushButton::clicked, this, &MainWindow::run_start);
}

void MainWindow::run_start() {
  StartResult result;
  try {
    result = start_command_(input_->text());
  } catch (const std::exception&) {
    report_failure_(this, describe_failure(std::current_exception()));
    return;
  }
  canvas_view_->show_image(std::move(result.canvas));
  output_->setPlainText(result.output);
}

}  // namespace marquee8
