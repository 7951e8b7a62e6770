#include "format_registry.h"
#include "listed_values.h"

namespace marquee8 {

namespace {

// A const array: ARM and ESP compilers keep it in flash without being told.
class CFormat final : public ArrayFormat {
 public:
  using ArrayFormat::ArrayFormat;

  void open(ArrayText& text) const override {
    line(text, "#include <stdint.h>");
    if (text.settings.art) write_art(text);
    line(text, "const uint8_t " + text.settings.array_name + "[] = {");
  }
  void add(ArrayText& text, std::span<const std::uint8_t> values, bool) const override {
    add_listed_values(text, values, "  ", false);
  }
  void close(ArrayText& text, std::size_t last_index) const override {
    close_c_array(*this, text, last_index);
  }
};

}  // namespace

const ArrayFormat& c_format() {
  static const CFormat format({
      .format = OutputFormat::kC,
      .name = "c",
      .menu_label = "C &const: ARM and ESP flash",
      .help = "c: const uint8_t a[], in flash on ARM and ESP boards",
      .text = true,
      .lives_in_ram = false,
  });
  return format;
}

}  // namespace marquee8
