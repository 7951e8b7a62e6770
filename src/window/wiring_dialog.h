#pragma once

#include <memory>

#include "board_task_dialog.h"
#include "wiring_session.h"

class QLabel;
class QPushButton;
class QSpinBox;

namespace marquee8 {

// Board → Wiring…: the port, the module count and Show Test Pattern. The board lights its
// pattern and the dialog asks the wizard's questions with its pictures as buttons, one click an
// answer; then the board keeps the layout the answers give. Cancel, or closing the dialog, puts
// the board back on the layout it had. The module count is remembered in `store`, with the
// port.
class WiringDialog : public BoardTaskDialog {
  Q_OBJECT

 public:
  WiringDialog(QSettings& store, QWidget* parent);
  ~WiringDialog() override;

  void reject() override;

 private:
  // What the dialog does now: a step on the worker thread, or a question put.
  enum class Stage { kIdle, kOpening, kAskingWiring, kAgain, kAskingEnd, kConfiguring, kRestoring };

  void start() override;
  bool went_on(const BoardResult& result) override;
  void ask(Stage question);
  void answer(int picture);
  // Runs `work` (which returns the outcome's words) on the open session, saying `doing`.
  void step(Stage stage, const QString& doing, const std::function<std::string()>& work);
  void restore();

  QSettings& store_;
  QSpinBox* modules_;
  QWidget* asking_;
  QLabel* question_;
  QWidget* pictures_;
  std::unique_ptr<WiringSession> session_;  // while the questions are put
  Stage stage_ = Stage::kIdle;
  int wiring_answer_ = 0;
  bool closing_ = false;  // the dialog closes once the board is back on its layout
};

}  // namespace marquee8
