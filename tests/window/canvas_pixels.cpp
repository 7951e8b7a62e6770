#include "canvas_pixels.h"

#include <QWidget>
#include <string>

#include "canvas_size.h"
#include "conversion.h"

namespace marquee8::window_test {

QImage painted_canvas(QWidget& pic) {
  constexpr int kBorder = 2;
  return pic.grab().toImage().copy(kBorder, kBorder, pic.width() - 2 * kBorder,
                                   pic.height() - 2 * kBorder);
}

std::string first_difference(const QImage& painted, const GlyphCanvas& canvas) {
  if (painted.size() != QSize(testing::kCanvasWidth, testing::kCanvasHeight)) {
    return "painted area is " + std::to_string(painted.width()) + "x" +
           std::to_string(painted.height());
  }
  for (int y = 0; y < painted.height(); ++y) {
    for (int x = 0; x < painted.width(); ++x) {
      const QRgb shown = painted.pixel(x, y) & 0xFFFFFF;
      const bool ink = canvas.inked(x, y);
      if (shown != (ink ? 0x000000u : 0xF0F0F0u)) {
        return "pixel " + std::to_string(x) + "," + std::to_string(y) + " shows " +
               std::to_string(shown) + " for " + (ink ? "ink" : "background");
      }
    }
  }
  return {};
}

GlyphCanvas fresh_canvas_with(std::u16string_view text) {
  GlyphCanvas canvas(testing::kCanvasWidth, testing::kCanvasHeight);
  canvas = Conversion().start(text, canvas.width(), canvas.height()).canvas;
  return canvas;
}

}  // namespace marquee8::window_test
