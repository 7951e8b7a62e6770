#pragma once

#include "font_face.h"
#include "font_settings.h"
#include "glyph_cache.h"

namespace marquee8 {

// The face `settings` name: the built-in font, a font file, or an installed family's file.
FontFace open_font(const FontSettings& settings);

// Sizes the font as `settings` say and returns the canvas row of its baseline.
int size_and_place(GlyphCache& glyphs, const FontSettings& settings);

}  // namespace marquee8
