#pragma once

#include <QString>

#include "core_adapter.h"

class QSettings;

namespace marquee8 {

// The output settings kept between sessions. Nothing stored yet gives the classic settings, so
// the very first start looks exactly like the classic window. Each stored value that does not
// read or that the dialogs would not accept (a renamed format, a name or number edited by hand)
// is ignored alone: the classic value stands in for it, the others are kept.
OutputSettings load_output_settings(QSettings& store);
void save_output_settings(QSettings& store, const OutputSettings& settings);

// The font settings kept between sessions; nothing stored gives the built-in font, and a size or
// offset outside the Size and Vertical Offset dialogs' ranges is ignored.
FontSettings load_font_settings(QSettings& store);
void save_font_settings(QSettings& store, const FontSettings& settings);

}  // namespace marquee8
