#pragma once

// Every conversion between Qt's types and the conversion core's lives here.

#include <QImage>
#include <QSize>
#include <QString>
#include <string_view>

#include "glyph_canvas.h"

namespace marquee8 {

// The text's own UTF-16 code units, without a copy; valid while `text` is alive and unchanged.
std::u16string_view utf16_view(const QString& text);

// The core writes plain ASCII.
QString from_ascii(std::string_view text);

// The canvas's pixels within `area` from its top-left corner, as the window shows them.
QImage canvas_image(const GlyphCanvas& canvas, QSize area);

}  // namespace marquee8
