#pragma once

#include <QWidget>
#include <atomic>
#include <functional>

class QProgressBar;
class QPushButton;

namespace marquee8 {

class WindowConversion;

// A conversion run off the window's thread, so that the window keeps drawing and answering while
// a long text converts. Once a run has taken longer than a moment this shows a progress bar and
// Cancel (it lives in the status bar); Cancel stops the run at its next block of columns.
class RunProgress : public QWidget {
  Q_OBJECT

 public:
  explicit RunProgress(QWidget* parent = nullptr);

  // Runs `work` on a worker thread and returns once it has ended, serving the window's events
  // meanwhile; `work` may use `conversion`, which reports its progress here. Rethrows what
  // `work` threw: a cancelled run throws what cancelled() recognises.
  void run(WindowConversion& conversion, const std::function<void()>& work);
  bool running() const { return running_; }
  void cancel() { stop_ = true; }

 private:
  void show_progress();  // the figures of the run so far

  QProgressBar* bar_;
  QPushButton* cancel_;
  bool running_ = false;
  std::atomic<bool> stop_ = false;
  std::atomic<qsizetype> done_ = 0;
  std::atomic<qsizetype> in_all_ = 0;
};

}  // namespace marquee8
