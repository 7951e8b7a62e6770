#include "run_progress.h"

#include <QEventLoop>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>
#include <exception>

#include "core_adapter.h"

namespace marquee8 {

namespace {

// A run shorter than this shows no progress bar, so that short texts do not flicker.
constexpr int kPatienceMs = 400;
constexpr int kRefreshMs = 100;
constexpr int kSteps = 1000;

}  // namespace

RunProgress::RunProgress(QWidget* parent)
    : QWidget(parent), bar_(new QProgressBar(this)), cancel_(new QPushButton(tr("Cancel"), this)) {
  setObjectName(QStringLiteral("runProgress"));
  bar_->setObjectName(QStringLiteral("runProgressBar"));
  cancel_->setObjectName(QStringLiteral("runCancel"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(bar_);
  layout->addWidget(cancel_);
  connect(cancel_, &QPushButton::clicked, this, &RunProgress::cancel);
  hide();
}

void RunProgress::run(WindowConversion& conversion, const std::function<void()>& work) {
  running_ = true;
  stop_ = false;
  done_ = 0;
  in_all_ = 0;
  conversion.set_progress([this](qsizetype done, qsizetype in_all) {
    done_ = done;
    in_all_ = in_all;
    return !stop_;
  });
  std::exception_ptr failure;
  QFutureWatcher<void> watcher;
  QEventLoop loop;
  connect(&watcher, &QFutureWatcher<void>::finished, &loop, &QEventLoop::quit);
  QTimer patience;
  patience.setSingleShot(true);
  connect(&patience, &QTimer::timeout, this, [this] {
    show_progress();
    show();
  });
  QTimer refresh;
  connect(&refresh, &QTimer::timeout, this, &RunProgress::show_progress);
  watcher.setFuture(QtConcurrent::run([&] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
  }));
  patience.start(kPatienceMs);
  refresh.start(kRefreshMs);
  // Quits at once should the run have ended already: the watcher still reports it.
  loop.exec();
  hide();
  conversion.set_progress({});
  running_ = false;
  if (failure) std::rethrow_exception(failure);
}

void RunProgress::show_progress() {
  const qsizetype in_all = in_all_;
  if (in_all > 0) {
    bar_->setRange(0, kSteps);
    bar_->setValue(static_cast<int>(done_ * kSteps / in_all));
  } else {
    bar_->setRange(0, 0);  // still laying the text out: busy, with no figure yet
  }
  cancel_->setEnabled(!stop_);
}

}  // namespace marquee8
