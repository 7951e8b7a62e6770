#pragma once

#include <string>

namespace marquee8 {

// What a FreeType error code means, in words a user can act on, to follow "the font 'x' is".
// Debian's FreeType is built without its own error strings.
std::string freetype_reason(int error);

}  // namespace marquee8
