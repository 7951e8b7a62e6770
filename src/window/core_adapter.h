#pragma once

// The one place the window meets the conversion core: Qt's types in, Qt's types out.

#include <QImage>
#include <QString>
#include <exception>
#include <memory>

namespace marquee8 {

class Conversion;

// What the input box holds when the window opens.
QString default_text();

// What a Start puts on screen: the output box's text and the canvas's drawable area.
struct StartResult {
  QString output;
  QImage canvas;
};

// The Start command as the window runs it, with the glyphs kept from click to click.
class WindowConversion {
 public:
  WindowConversion();
  ~WindowConversion();
  WindowConversion(WindowConversion&&) noexcept;
  WindowConversion& operator=(WindowConversion&&) noexcept;

  // Throws what the core throws (ConversionError, std::bad_alloc).
  StartResult start(const QString& text);

 private:
  std::unique_ptr<Conversion> conversion_;
};

// The canvas before any Start: background only.
QImage blank_canvas();

// What the user is told when a Start fails, naming the real cause.
QString describe_failure(std::exception_ptr failure);

}  // namespace marquee8
