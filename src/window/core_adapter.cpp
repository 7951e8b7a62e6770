#include "core_adapter.h"

#include <algorithm>

namespace marquee8 {

std::u16string_view utf16_view(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

QString from_ascii(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QImage canvas_image(const GlyphCanvas& canvas, QSize area) {
  const int width = std::min(area.width(), canvas.width());
  const int height = std::min(area.height(), canvas.height());
  QImage image(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const Colour colour = canvas.pixel(x, y);  // 0xBBGGRR: red is the low byte
      line[x] = qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    }
  }
  return image;
}

}  // namespace marquee8
