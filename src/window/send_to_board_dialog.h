#pragma once

#include <cstdint>
#include <vector>

#include "board_task_dialog.h"

class QSpinBox;

namespace marquee8 {

// Board → Send to Board…: the port, the column step and brightness, and Send. Cancel stops the
// send between two chunks, and the board then keeps its previous message. The step and
// brightness are remembered in `store`, with the port; the dialog closes once the board has
// the message.
class SendToBoardDialog : public BoardTaskDialog {
  Q_OBJECT

 public:
  SendToBoardDialog(std::vector<std::uint8_t> columns, QSettings& store, QWidget* parent);

 private:
  void start() override;

  std::vector<std::uint8_t> columns_;
  QSettings& store_;
  QSpinBox* step_;
  QSpinBox* brightness_;
};

}  // namespace marquee8
