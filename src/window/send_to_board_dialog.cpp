#include "send_to_board_dialog.h"

#include <QFormLayout>
#include <QSettings>
#include <QSpinBox>

#include "setting_ranges.h"

namespace marquee8 {
namespace {

const QString kStepKey = QStringLiteral("board/step_ms");
const QString kBrightnessKey = QStringLiteral("board/brightness");

QSpinBox* spin_box(const char* name, const SettingRange& range, int value, QWidget* parent) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setRange(range.lowest, range.highest);
  box->setValue(value);
  return box;
}

}  // namespace

SendToBoardDialog::SendToBoardDialog(std::vector<std::uint8_t> columns, QSettings& store,
                                     QWidget* parent)
    : BoardTaskDialog(store, tr("&Send"), "sendToBoardDialog", "send", parent),
      columns_(std::move(columns)),
      store_(store) {
  setWindowTitle(tr("Send to Board"));
  step_ = spin_box("stepMs", kStepRange, store_.value(kStepKey, kStepRange.fallback).toInt(), this);
  step_->setSuffix(tr(" ms"));
  brightness_ = spin_box("brightness", kBrightnessRange,
                         store_.value(kBrightnessKey, kBrightnessRange.fallback).toInt(), this);
  choices().addRow(tr("S&tep:"), step_);
  choices().addRow(tr("&Brightness:"), brightness_);
  say(tr("%n column(s) for a board running the marquee8 receiver sketch.", "",
         static_cast<int>(columns_.size())));
  connect(this, &BoardTaskDialog::finished_task, this, [this](const QString&, bool ok) {
    if (ok) accept();
  });
}

void SendToBoardDialog::start() {
  store_.setValue(kStepKey, step_->value());
  store_.setValue(kBrightnessKey, brightness_->value());
  const int step = step_->value(), brightness = brightness_->value();
  run(
      [this, step, brightness](const QString& port, const BoardProgress& progress) {
        return send_columns_to_board(port, columns_, step, brightness, progress);
      },
      tr("Sending to %1…"), tr("Cancelled; %1.").arg(words(kStoppedSendLeaves)));
}

}  // namespace marquee8
