#pragma once

#include <QDialog>
#include <QString>
#include <atomic>
#include <cstdint>
#include <vector>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSettings;
class QSpinBox;
class QThread;

namespace marquee8 {

// File → Send to Board…: the serial ports with their USB descriptions (one may be typed in),
// the column step and brightness, a progress bar, Send and Cancel. The send runs on a worker
// thread, so the window never freezes; Cancel stops it between two chunks, and the board then
// keeps its previous message. The port, step and brightness are remembered in `store`.
class SendToBoardDialog : public QDialog {
  Q_OBJECT

 public:
  SendToBoardDialog(std::vector<std::uint8_t> columns, QSettings& store, QWidget* parent);
  ~SendToBoardDialog() override;

 signals:
  // The send ended: the board's summary, or what went wrong, for the status bar.
  void finished_sending(const QString& message, bool ok);

 private:
  void send();
  void cancel();
  // The port, step and brightness can be changed, and Send pressed, only between sends.
  void set_choosing(bool choosing);
  void show_progress(int done, int total);
  void show_result(const QString& message, bool ok);

  std::vector<std::uint8_t> columns_;
  QSettings& store_;
  QComboBox* ports_;
  QSpinBox* step_;
  QSpinBox* brightness_;
  QProgressBar* progress_;
  QLabel* result_;
  QPushButton* send_;
  QPushButton* cancel_;
  QThread* worker_ = nullptr;
  std::atomic<bool> cancelled_ = false;
};

}  // namespace marquee8
