#include "send_to_board_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>

#include "board_adapter.h"
#include "setting_ranges.h"

namespace marquee8 {
namespace {

const QString kPortKey = QStringLiteral("board/port");
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
    : QDialog(parent), columns_(std::move(columns)), store_(store) {
  setObjectName(QStringLiteral("sendToBoardDialog"));
  setWindowTitle(tr("Send to Board"));

  ports_ = new QComboBox(this);
  ports_->setObjectName(QStringLiteral("portList"));
  ports_->setEditable(true);  // a port the system does not list can be typed in
  ports_->setMinimumContentsLength(32);
  for (const BoardPort& port : board_ports()) ports_->addItem(port.label, port.name);
  const QString last = store_.value(kPortKey).toString();
  if (!last.isEmpty()) {
    const int known = ports_->findData(last);
    if (known >= 0) {
      ports_->setCurrentIndex(known);
    } else {
      ports_->setEditText(last);
    }
  }
  step_ = spin_box("stepMs", kStepRange, store_.value(kStepKey, kStepRange.fallback).toInt(), this);
  step_->setSuffix(tr(" ms"));
  brightness_ = spin_box("brightness", kBrightnessRange,
                         store_.value(kBrightnessKey, kBrightnessRange.fallback).toInt(), this);

  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("sendProgress"));
  progress_->setValue(0);
  result_ = new QLabel(tr("%n column(s) for a board running the marquee8 receiver sketch.", "",
                          static_cast<int>(columns_.size())),
                       this);
  result_->setObjectName(QStringLiteral("sendResult"));
  result_->setWordWrap(true);

  auto* buttons = new QDialogButtonBox(this);
  send_ = buttons->addButton(tr("&Send"), QDialogButtonBox::AcceptRole);
  send_->setObjectName(QStringLiteral("sendButton"));
  cancel_ = buttons->addButton(QDialogButtonBox::Cancel);
  cancel_->setObjectName(QStringLiteral("cancelButton"));
  connect(send_, &QPushButton::clicked, this, &SendToBoardDialog::send);
  connect(cancel_, &QPushButton::clicked, this, &SendToBoardDialog::cancel);

  auto* form = new QFormLayout;
  form->addRow(tr("&Port:"), ports_);
  form->addRow(tr("S&tep:"), step_);
  form->addRow(tr("&Brightness:"), brightness_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(progress_);
  layout->addWidget(result_);
  layout->addWidget(buttons);
}

SendToBoardDialog::~SendToBoardDialog() {
  if (worker_ != nullptr) {
    cancelled_ = true;
    worker_->wait();
  }
}

// The port chosen from the list, or as typed.
void SendToBoardDialog::send() {
  const int index = ports_->currentIndex();
  const QString port = index >= 0 && ports_->itemText(index) == ports_->currentText()
                           ? ports_->itemData(index).toString()
                           : ports_->currentText().trimmed();
  if (port.isEmpty()) return show_result(tr("Choose or type a serial port."), false);
  store_.setValue(kPortKey, port);
  store_.setValue(kStepKey, step_->value());
  store_.setValue(kBrightnessKey, brightness_->value());

  cancelled_ = false;
  set_choosing(false);
  progress_->setValue(0);
  result_->setText(tr("Sending to %1…").arg(port));
  const int step = step_->value(), brightness = brightness_->value();
  worker_ = QThread::create([this, port, step, brightness] {
    const BoardSendResult result =
        send_columns_to_board(port, columns_, step, brightness, [this](int done, int total) {
          QMetaObject::invokeMethod(
              this, [this, done, total] { show_progress(done, total); }, Qt::QueuedConnection);
          return !cancelled_;
        });
    QMetaObject::invokeMethod(
        this, [this, result] { show_result(result.message, result.ok); }, Qt::QueuedConnection);
  });
  worker_->setParent(this);
  worker_->start();
}

void SendToBoardDialog::set_choosing(bool choosing) {
  for (QWidget* choice : {static_cast<QWidget*>(send_), static_cast<QWidget*>(ports_),
                          static_cast<QWidget*>(step_), static_cast<QWidget*>(brightness_)}) {
    choice->setEnabled(choosing);
  }
}

void SendToBoardDialog::cancel() {
  if (worker_ == nullptr) return reject();
  cancelled_ = true;
  result_->setText(tr("Cancelling…"));
}

void SendToBoardDialog::show_progress(int done, int total) {
  progress_->setMaximum(total);
  progress_->setValue(done);
}

void SendToBoardDialog::show_result(const QString& message, bool ok) {
  if (worker_ != nullptr) {
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
  }
  set_choosing(true);
  const QString shown =
      cancelled_ && !ok ? tr("Cancelled; the board keeps its previous message.") : message;
  result_->setText(shown);
  emit finished_sending(shown, ok);
  if (ok) accept();
}

}  // namespace marquee8
