#include "install_receiver_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QSettings>
#include <algorithm>

namespace marquee8 {
namespace {

const QString kBoardKey = QStringLiteral("board/model");

}  // namespace

InstallReceiverDialog::InstallReceiverDialog(QSettings& store, QWidget* parent)
    : BoardTaskDialog(store, tr("&Install"), "installReceiverDialog", "install", parent),
      store_(store),
      boards_(new QComboBox(this)) {
  setWindowTitle(tr("Install Receiver"));
  boards_->setObjectName(QStringLiteral("boardList"));
  for (const BoardChoice& choice : board_choices()) {
    boards_->addItem(choice.label, static_cast<int>(choice.model));
  }
  boards_->setCurrentIndex(std::max(0, boards_->findData(store_.value(kBoardKey).toInt())));
  choices().addRow(tr("&Board:"), boards_);
  say(
      tr("Puts the marquee8 receiver on the board through its bootloader; a message the board "
         "stores is kept."));
}

void InstallReceiverDialog::start() {
  store_.setValue(kBoardKey, boards_->currentData());
  const auto model = static_cast<BoardModel>(boards_->currentData().toInt());
  // What comes next, once the board can take a message.
  const QString next =
      tr(". Next: set the modules' wiring once with Board → Wiring…, then %1").arg(how_to_send());
  run(
      [model, next](const QString& port, const BoardProgress& progress) {
        BoardResult result = install_receiver_on_board(port, model, progress);
        if (result.ok) result.message += next;
        return result;
      },
      tr("Installing the receiver on %1…"),
      tr("Cancelled; %1: install it again before sending.").arg(words(kStoppedInstallLeaves)));
}

}  // namespace marquee8
