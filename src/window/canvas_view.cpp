#include "canvas_view.h"

#include <QPainter>
#include <utility>

namespace marquee8 {

CanvasView::CanvasView(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(kBorder);
  setFocusPolicy(Qt::StrongFocus);
}

void CanvasView::show_image(QImage image) {
  image_ = std::move(image);
  update();
}

void CanvasView::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  painter.drawImage(contentsRect().topLeft(), image_);
}

}  // namespace marquee8
