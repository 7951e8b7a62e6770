#pragma once

#include <QWidget>
#include <cstdint>
#include <vector>

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace marquee8 {

class LedStrip;

// View → LED Preview Window: the marquee as large as the window is, with the number of 8x8
// modules in the chain, the scroll speed, pause and single steps, and the LEDs' colour. It
// belongs to the main window; closing it only hides it.
class LedPreviewWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kDefaultModules = 4;

  explicit LedPreviewWindow(QWidget* main_window);

  void set_columns(const std::vector<std::uint8_t>& columns);
  void set_paused(bool paused);
  LedStrip& strip() { return *strip_; }

 signals:
  void paused_changed(bool paused);

 private:
  LedStrip* strip_;
  QSpinBox* modules_;
  QSpinBox* speed_;
  QCheckBox* pause_;
  QComboBox* colour_;
};

}  // namespace marquee8
