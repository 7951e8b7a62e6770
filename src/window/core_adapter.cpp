#include "core_adapter.h"

#include <QCoreApplication>
#include <new>
#include <string_view>

#include "conversion.h"
#include "conversion_error.h"
#include "glyph_canvas.h"
#include "text_constants.h"

namespace marquee8 {

namespace {

// Ink is black on the light grey a desktop form has.
constexpr QRgb kInk = 0xFF000000;
constexpr QRgb kBackground = 0xFFF0F0F0;

QImage canvas_image(const GlyphCanvas& canvas) {
  QImage image(canvas.width(), canvas.height(), QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) line[x] = canvas.inked(x, y) ? kInk : kBackground;
  }
  return image;
}

QString tr(const char* text) { return QCoreApplication::translate("marquee8", text); }

}  // namespace

QString default_text() {
  return QString::fromLatin1(kDefaultText.data(), static_cast<qsizetype>(kDefaultText.size()));
}

WindowConversion::WindowConversion() : conversion_(std::make_unique<Conversion>()) {}
WindowConversion::~WindowConversion() = default;
WindowConversion::WindowConversion(WindowConversion&&) noexcept = default;
WindowConversion& WindowConversion::operator=(WindowConversion&&) noexcept = default;

StartResult WindowConversion::start(const QString& text) {
  // QString holds UTF-16 code units, exactly what the core counts and draws.
  const std::u16string_view units(reinterpret_cast<const char16_t*>(text.utf16()),
                                  static_cast<std::size_t>(text.size()));
  GlyphCanvas canvas;
  const std::string array = conversion_->start(units, canvas);
  return {QString::fromLatin1(array.data(), static_cast<qsizetype>(array.size())),
          canvas_image(canvas)};
}

QImage blank_canvas() { return canvas_image(GlyphCanvas()); }

QString describe_failure(std::exception_ptr failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const std::bad_alloc&) {
    return tr("Out of memory: the text is too long to convert.");
  } catch (const ConversionError& error) {
    const QString detail = QString::fromUtf8(error.what());
    switch (error.kind()) {
      case ConversionError::Kind::kTextTooLong:
        return tr("The text is too long: %1").arg(detail);
      case ConversionError::Kind::kFontUnusable:
        return tr("The font cannot be used: %1").arg(detail);
      case ConversionError::Kind::kInvalidText:
        return tr("The text cannot be converted: %1").arg(detail);
      case ConversionError::Kind::kInvalidSettings:
        return tr("The output settings cannot be used: %1").arg(detail);
    }
    return detail;
  } catch (const std::exception& error) {
    return tr("The conversion failed: %1").arg(QString::fromUtf8(error.what()));
  }
}

}  // namespace marquee8
