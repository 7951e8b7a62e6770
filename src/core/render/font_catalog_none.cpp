#include "conversion_error.h"
#include "font_catalog.h"

// Without fontconfig (in the browser) only the built-in font and font files can be used.
namespace marquee8 {

namespace {

[[noreturn]] void unavailable() {
  throw ConversionError(ConversionError::Kind::kFontUnusable,
                        "installed fonts are not available in the browser: open a font file");
}

}  // namespace

std::vector<InstalledFont> installed_fonts() { unavailable(); }

std::string installed_font_file(const std::string&, std::optional<int>) { unavailable(); }

}  // namespace marquee8
