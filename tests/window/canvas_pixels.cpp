#include "canvas_pixels.h"

#include <QWidget>
#include <string>

#include "start_command.h"

namespace marquee8::window_test {

QImage painted_canvas(QWidget& pic) {
  constexpr int kBorder = 2;
  return pic.grab().toImage().copy(kBorder, kBorder, pic.width() - 2 * kBorder,
                                   pic.height() - 2 * kBorder);
}

std::string first_difference(const QImage& painted, const GlyphCanvas& canvas) {
  if (painted.size() != QSize(GlyphCanvas::kDefaultWidth, GlyphCanvas::kDefaultHeight)) {
    return "painted area is " + std::to_string(painted.width()) + "x" +
           std::to_string(painted.height());
  }
  for (int y = 0; y < painted.height(); ++y) {
    for (int x = 0; x < painted.width(); ++x) {
      const QRgb shown = painted.pixel(x, y) & 0xFFFFFF;
      const auto drawn = static_cast<QRgb>(canvas.pixel(x, y));
      if (shown != drawn) {
        return "pixel " + std::to_string(x) + "," + std::to_string(y) + " shows " +
               std::to_string(shown) + ", canvas has " + std::to_string(drawn);
      }
    }
  }
  return {};
}

GlyphCanvas fresh_canvas_with(std::u16string_view text) {
  GlyphCanvas canvas;
  start_command(text, canvas);
  return canvas;
}

}  // namespace marquee8::window_test
