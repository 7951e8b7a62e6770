#pragma once

#include <QFrame>
#include <QImage>

namespace marquee8 {

// The glyph canvas on screen: a sunken 2-pixel panel whose inside shows a snapshot of the
// canvas pixel for pixel. The snapshot is kept, so any repaint shows the last run again.
class CanvasView : public QFrame {
  Q_OBJECT

 public:
  static constexpr int kBorder = 2;
  // The drawable area inside the border, where a Start shows its first columns.
  static constexpr int kDrawableWidth = 669;
  static constexpr int kDrawableHeight = 29;

  explicit CanvasView(QWidget* parent);

  void show_image(QImage image);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
};

}  // namespace marquee8
