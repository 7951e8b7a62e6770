#pragma once

#include <QImage>
#include <string>
#include <string_view>

#include "glyph_canvas.h"

class QWidget;

namespace marquee8::window_test {

// The inside of the pic control as it is painted, border removed.
QImage painted_canvas(QWidget& pic);

// Where `painted` differs from `canvas` drawn with the core alone; empty when they agree.
// Ink must show black and everything else the form's grey.
std::string first_difference(const QImage& painted, const GlyphCanvas& canvas);

// A canvas that has only ever seen `text`.
GlyphCanvas fresh_canvas_with(std::u16string_view text);

}  // namespace marquee8::window_test
