#pragma once

#include <QString>

#include "core_adapter.h"

class QSettings;

namespace marquee8 {

// The output settings kept between sessions. Nothing stored yet gives the classic settings, so
// the very first start looks exactly like the classic window; a stored value that no longer
// reads (a renamed format, a name made invalid by hand) falls back to the classic value.
OutputSettings load_output_settings(QSettings& store);
void save_output_settings(QSettings& store, const OutputSettings& settings);

// The font settings kept between sessions; nothing stored gives the built-in font.
FontSettings load_font_settings(QSettings& store);
void save_font_settings(QSettings& store, const FontSettings& settings);

}  // namespace marquee8
