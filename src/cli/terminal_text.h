#pragma once

#include <string>
#include <string_view>

namespace marquee8 {

// `text` as one terminal line shows it faithfully: control characters, line and paragraph
// separators and the marks that reorder bidirectional text become U+XXXX, and bytes that are not
// UTF-8 become \xNN, so that a name or a text quoted in a message can neither split the line nor
// turn it around.
std::string terminal_safe(std::string_view text);

}  // namespace marquee8
