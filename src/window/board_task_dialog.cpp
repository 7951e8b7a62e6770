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
      layout_(new QVBoxLayout(this)),
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
  progress_->setTextVisible(false);  // "0%" before any task would read as one stuck
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

  layout_->addWidget(choices_box_);
  layout_->addWidget(progress_);
  layout_->addWidget(result_);
  layout_->addWidget(buttons);
}

QString how_to_send() {
  return BoardTaskDialog::tr(
      "type the message, press Start, and send it with Board → Send to Board….");
}

QString words(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void BoardTaskDialog::add_below_choices(QWidget* shown) {
  layout_->insertWidget(layout_->indexOf(choices_box_) + 1, shown);
}

BoardTaskDialog::~BoardTaskDialog() { stop_task(); }

void BoardTaskDialog::stop_task() {
  if (worker_ != nullptr) {
    cancelled_ = true;
    worker_->wait();
  }
}

void BoardTaskDialog::say(const QString& words) { result_->setText(words); }

void BoardTaskDialog::run(const Task& task, const QString& doing, const QString& cancelled) {
  const QString port = port_->take_port();
  if (port.isEmpty()) return say(tr("Choose or type a serial port."));
  progress_->setValue(0);
  say(doing.arg(port));
  run_step([task, port](const BoardProgress& progress) { return task(port, progress); }, cancelled);
}

void BoardTaskDialog::run_step(const Step& step, const QString& cancelled) {
  cancelled_ = false;
  set_choosing(false);
  progress_->setTextVisible(true);
  cancel_->setText(tr("Cancel"));
  worker_ = QThread::create([this, step, cancelled] {
    const BoardResult result = step([this](int done, int total) {
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
  // A bar left busy (a board awaited) stops: nothing runs now.
  if (progress_->maximum() == 0) progress_->setRange(0, 1);
  const QString shown = cancelled_ && !result.ok ? cancelled : result.message;
  if (went_on({result.ok, shown})) return;
  set_choosing(true);
  cancel_->setText(tr("Close"));
  say(shown);
  emit finished_task(shown, result.ok);
}

}  // namespace marquee8
