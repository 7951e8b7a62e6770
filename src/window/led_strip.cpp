#include "led_strip.h"

#include <QPainter>
#include <algorithm>
#include <utility>

namespace marquee8 {

namespace {

constexpr int kSmallestPitch = 7;  // pixels from one LED's centre to the next on the form

}  // namespace

LedStrip::LedStrip(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  connect(&timer_, &QTimer::timeout, this, &LedStrip::tick);
  set_columns_per_second(columns_per_second_);
}

void LedStrip::set_columns(std::vector<std::uint8_t> columns) {
  columns_ = std::move(columns);
  step_ = 0;
  update_timer();
  update();
}

void LedStrip::set_visible_columns(int columns) {
  fixed_columns_ = std::max(columns, 0);
  update();
}

void LedStrip::set_columns_per_second(int speed) {
  columns_per_second_ = std::clamp(speed, 1, 1000);
  timer_.setInterval(1000 / columns_per_second_);
}

void LedStrip::set_paused(bool paused) {
  paused_ = paused;
  update_timer();
}

void LedStrip::set_colour(QColor lit) {
  lit_ = lit;
  update();
}

int LedStrip::pitch() const {
  if (fixed_columns_ == 0) return std::max(kSmallestPitch, height() / kRows);
  return std::max(1, std::min(width() / fixed_columns_, height() / kRows));
}

int LedStrip::visible_columns() const {
  return fixed_columns_ != 0 ? fixed_columns_ : width() / pitch();
}

bool LedStrip::lit(int row, int column) const {
  if (columns_.empty()) return false;
  const std::size_t at =
      (static_cast<std::size_t>(step_) + static_cast<std::size_t>(column)) % columns_.size();
  return (columns_[at] >> row) & 1;
}

void LedStrip::advance() {
  if (columns_.empty()) return;
  step_ = static_cast<int>((static_cast<std::size_t>(step_) + 1) % columns_.size());
  update();
}

void LedStrip::tick() {
  if (!paused_ && isVisible()) advance();
}

void LedStrip::update_timer() {
  if (!paused_ && isVisible() && !columns_.empty()) {
    timer_.start();
  } else {
    timer_.stop();
  }
}

void LedStrip::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  update_timer();
}

void LedStrip::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  update_timer();
}

void paint_leds(QPainter& painter, const QRect& area, QPoint origin, int rows, int columns,
                int size, const QColor& colour, const std::function<bool(int, int)>& lit) {
  painter.fillRect(area, QColor(24, 24, 24));  // the module's black face
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  const int diameter = std::max(1, size - std::max(1, size / 5));
  const QColor dark = colour.darker(400);
  for (int column = 0; column < columns; ++column) {
    for (int row = 0; row < rows; ++row) {
      painter.setBrush(lit(row, column) ? colour : dark);
      painter.drawEllipse(origin.x() + column * size, origin.y() + row * size, diameter, diameter);
    }
  }
}

void LedStrip::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int size = pitch();
  const int columns = visible_columns();
  const QPoint origin((width() - columns * size) / 2, (height() - kRows * size) / 2);
  paint_leds(painter, rect(), origin, kRows, columns, size, lit_,
             [this](int row, int column) { return lit(row, column); });
}

}  // namespace marquee8
