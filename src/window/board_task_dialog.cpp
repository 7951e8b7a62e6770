#include "board_task_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include "port_chooser.h"

namespace marquee8 {

BoardTaskDialog::BoardTaskDialog(QSettings& store, const QString& action, const char* name,
                                 const char* prefix, QWidget* parent)
    : QDialog(parent),
      port_(new PortChooser(store, this)),
      choices_box_(new QWidget(this)),
      choices_(new QFormLayout(choices_box_)),
      progress_(new QProgressBar(this)),
      result_(new QLabel(this)) {
  setObjectName(QString::fromLatin1(name));
  const auto named = [prefix](const char* part) { return QString::fromLatin1(prefix) + part; };
  choices_->setContentsMargins(0, 0, 0, 0);
  choices_->addRow(tr("&Port:"), port_);
  progress_->setObjectName(named("Progress"));
  progress_->setValue(0);
  result_->setObjectName(named("Result"));
  result_->setWordWrap(true);
  // Room for the longest outcome wrapped, as a dialog already shown does not grow to fit it.
  result_->setMinimumHeight(result_->fontMetrics().lineSpacing() * 4);
  result_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  auto* buttons = new QDialogButtonBox(this);
  action_ = buttons->addButton(action, QDialogButtonBox::AcceptRole);
  action_->setObjectName(named("Button"));
  cancel_ = buttons->addButton(QDialogButtonBox::Cancel);
  cancel_->setObjectName(QStringLiteral("cancelButton"));
  connect(action_, &QPushButton::clicked, this, &BoardTaskDialog::start);
  connect(cancel_, &QPushButton::clicked, this, &BoardTaskDialog::cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(choices_box_);
  layout->addWidget(progress_);
  layout->addWidget(result_);
  layout->addWidget(buttons);
}

BoardTaskDialog::~BoardTaskDialog() {
  if (worker_ != nullptr) {
    cancelled_ = true;
    worker_->wait();
  }
}

void BoardTaskDialog::say(const QString& words) { result_->setText(words); }

void BoardTaskDialog::run(const Task& task, const QString& doing, const QString& cancelled) {
  const QString port = port_->take_port();
  if (port.isEmpty()) return say(tr("Choose or type a serial port."));
  cancelled_ = false;
  set_choosing(false);
  cancel_->setText(tr("Cancel"));
  progress_->setValue(0);
  say(doing.arg(port));
  worker_ = QThread::create([this, task, port, cancelled] {
    const BoardResult result = task(port, [this](int done, int total) {
      QMetaObject::invokeMethod(
          this, [this, done, total] { show_progress(done, total); }, Qt::QueuedConnection);
      return !cancelled_;
    });
    QMetaObject::invokeMethod(
        this, [this, result, cancelled] { show_result(result, cancelled); }, Qt::QueuedConnection);
  });
  worker_->setParent(this);
  worker_->start();
}

void BoardTaskDialog::set_choosing(bool choosing) {
  choices_box_->setEnabled(choosing);
  action_->setEnabled(choosing);
}

void BoardTaskDialog::cancel() {
  if (worker_ == nullptr) return reject();
  cancelled_ = true;
  say(tr("Cancelling…"));
}

void BoardTaskDialog::show_progress(int done, int total) {
  progress_->setMaximum(total);
  progress_->setValue(done);
}

void BoardTaskDialog::show_result(const BoardResult& result, const QString& cancelled) {
  worker_->wait();
  delete worker_;
  worker_ = nullptr;
  set_choosing(true);
  cancel_->setText(tr("Close"));
  const QString shown = cancelled_ && !result.ok ? cancelled : result.message;
  say(shown);
  emit finished_task(shown, result.ok);
}

}  // namespace marquee8
