#pragma once

#include <QDialog>
#include <QString>
#include <atomic>
#include <functional>
#include <string_view>

#include "board_adapter.h"
#include "stopped_board_task.h"

class QFormLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QSettings;
class QThread;
class QVBoxLayout;

namespace marquee8 {

class PortChooser;

// What every task with a board shows: the port, the task's own choices, a progress bar, the
// outcome in words, the task's button and Cancel. The task runs on a worker thread, so the
// window never freezes; Cancel, or closing the dialog, makes the task's progress answer false,
// which the core ends with RunCancelled at its next step.
// What to do once a board can take a message, after "Next: ".
QString how_to_send();
// The core's words, as the window shows them.
QString words(std::string_view text);

class BoardTaskDialog : public QDialog {
  Q_OBJECT

 public:
  ~BoardTaskDialog() override;

 signals:
  // The task ended: the core's words for what happened, for the status bar.
  void finished_task(const QString& message, bool ok);

 protected:
  // The task itself, on the worker thread, with the port chosen.
  using Task = std::function<BoardResult(const QString& port, const BoardProgress& progress)>;

  // `action` names the task's button ("&Send"); the dialog's object name is `name`, and its
  // button, progress bar and result line are named from `prefix`: sendButton, sendProgress...
  BoardTaskDialog(QSettings& store, const QString& action, const char* name, const char* prefix,
                  QWidget* parent);
  // Where a task puts its own choices, below the port.
  QFormLayout& choices() const { return *choices_; }
  // Puts what a task shows while it goes on (a question) below the choices, which are disabled
  // meanwhile; `shown` stays enabled.
  void add_below_choices(QWidget* shown);
  // The line below the progress bar.
  void say(const QString& words);
  // Runs `task` on the chosen port, saying `doing` ("Sending to %1…") while it runs, and
  // `cancelled` if Cancel stopped it.
  void run(const Task& task, const QString& doing, const QString& cancelled);
  // The next step of a task that goes on (see went_on), on the worker thread too.
  using Step = std::function<BoardResult(const BoardProgress& progress)>;
  void run_step(const Step& step, const QString& cancelled);
  // Whether Cancel was pressed, or the dialog closed, while the last step ran.
  bool cancelling() const { return cancelled_; }
  // Waits for the step running, if any, telling it to stop: for a dialog whose own members a
  // step uses, before they go.
  void stop_task();
  // Cancel: stops the step running, or closes the dialog (reject) when none runs.
  void cancel();

 private:
  virtual void start() = 0;  // the task's button was pressed
  // Told each outcome on the window's thread: true when the task goes on (a question to put,
  // then another step), false when this outcome ends it.
  virtual bool went_on(const BoardResult& result) {
    (void)result;
    return false;
  }
  // The choices can be changed, and the task's button pressed, only between runs.
  void set_choosing(bool choosing);
  void show_progress(int done, int total);
  void show_result(const BoardResult& result, const QString& cancelled);

  QVBoxLayout* layout_;
  PortChooser* port_;
  QWidget* choices_box_;
  QFormLayout* choices_;
  QProgressBar* progress_;
  QLabel* result_;
  QPushButton* action_;
  QPushButton* cancel_;
  QThread* worker_ = nullptr;
  std::atomic<bool> cancelled_ = false;
};

}  // namespace marquee8
