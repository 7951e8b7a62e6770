#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

class QPainter;

namespace marquee8 {

// The LEDs' colour unless the user picks another.
inline const QColor kLedRed{255, 40, 20};

// Paints `rows` × `columns` round LEDs `size` pixels apart from `origin`, on `area` filled with
// a module's black face: lit(row, column) in `colour`, the others dark. The strip and the wiring
// wizard's pictures look alike this way.
void paint_leds(QPainter& painter, const QRect& area, QPoint origin, int rows, int columns,
                int size, const QColor& colour, const std::function<bool(int, int)>& lit);

// The array as an 8-row LED marquee shows it: round LEDs, lit or dark, scrolling one column
// per step the way firmware walks the array. At step s the strip's column k shows array column
// (s + k) modulo the array's length: the lead-in first, then the text, then around again.
// It animates only while it is visible and not paused, from a timer on the UI thread.
class LedStrip : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kRows = 8;

  explicit LedStrip(QWidget* parent);

  // The array's columns, bit 0 the top row whatever order the output uses. Starts again at
  // step 0.
  void set_columns(std::vector<std::uint8_t> columns);
  // 0: as many columns as fit the width; otherwise exactly this many, the LEDs sized to fit.
  void set_visible_columns(int columns);
  void set_columns_per_second(int speed);
  void set_paused(bool paused);
  void set_colour(QColor lit);

  bool paused() const { return paused_; }
  bool animating() const { return timer_.isActive(); }
  int step() const { return step_; }
  int visible_columns() const;
  // Whether the LED in `row` (0 = top) of the strip's column `column` is lit now.
  bool lit(int row, int column) const;

  // One step on, as the timer makes it; also the Step button.
  void advance();
  // What each timer tick does: a step, unless paused or hidden.
  void tick();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void update_timer();
  int pitch() const;

  std::vector<std::uint8_t> columns_;
  int step_ = 0;
  int fixed_columns_ = 0;
  int columns_per_second_ = 20;
  bool paused_ = false;
  QColor lit_ = kLedRed;
  QTimer timer_;
};

}  // namespace marquee8
