#pragma once

#include "board_task_dialog.h"

class QComboBox;

namespace marquee8 {

// Board → Install Receiver…: the port, the board's kind, and Install, which puts the receiver
// installed with marquee8 on the board through its bootloader. The dialog stays open to say
// how it went and what comes next. The board's kind is remembered in `store`, with the port.
class InstallReceiverDialog : public BoardTaskDialog {
  Q_OBJECT

 public:
  InstallReceiverDialog(QSettings& store, QWidget* parent);

 private:
  void start() override;

  QSettings& store_;
  QComboBox* boards_;
};

}  // namespace marquee8
