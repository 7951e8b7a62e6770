// The Qt <-> core conversions: colour channel order, visible area, UTF-16 passed unchanged.
#include "core_adapter.h"

#include <gtest/gtest.h>

namespace marquee8 {
namespace {

TEST(CanvasImage, RedIsTheLowByteOfTheCanvasColour) {
  GlyphCanvas canvas;
  canvas.set_pixel(3, 4, 0x0000FF);
  canvas.set_pixel(5, 6, 0xFF0000);
  canvas.set_pixel(7, 8, 0x123456);
  const QImage image = canvas_image(canvas, {20, 20});
  EXPECT_EQ(image.pixel(3, 4), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(5, 6), qRgb(0, 0, 255));
  EXPECT_EQ(image.pixel(7, 8), qRgb(0x56, 0x34, 0x12));
  EXPECT_EQ(image.pixel(0, 0), qRgb(0xF0, 0xF0, 0xF0));
}

TEST(CanvasImage, CoversTheAreaButNeverMoreThanTheCanvas) {
  GlyphCanvas canvas;
  EXPECT_EQ(canvas_image(canvas, {669, 29}).size(), QSize(669, 29));
  EXPECT_EQ(canvas_image(canvas, {1000, 40}).size(), QSize(669, 29));
  canvas.resize(5000, 29);
  canvas.set_pixel(668, 28, 0);
  const QImage image = canvas_image(canvas, {669, 29});
  EXPECT_EQ(image.size(), QSize(669, 29));
  EXPECT_EQ(image.pixel(668, 28), qRgb(0, 0, 0));
}

TEST(TextConversion, Utf16UnitsPassUnchanged) {
  const QString text = QString::fromUtf8("8 數 \xF0\x9F\x98\x80");  // a surrogate pair at the end
  EXPECT_EQ(utf16_view(text), u"8 數 \U0001F600");
  EXPECT_EQ(utf16_view(QString()), u"");
  EXPECT_EQ(from_ascii("byte a[]={0};\r\nint slen= 8;"),
            QStringLiteral("byte a[]={0};\r\nint slen= 8;"));
}

}  // namespace
}  // namespace marquee8
