#include "format_registry.h"
#include "listed_values.h"

namespace marquee8 {

namespace {

// An AVR keeps a PROGMEM array in flash: the 2 KB of an Uno's RAM stay free.
class ProgmemFormat final : public ArrayFormat {
 public:
  using ArrayFormat::ArrayFormat;

  void open(ArrayText& text) const override {
    const std::string& name = text.settings.array_name;
    line(text, "#include <avr/pgmspace.h>");
    line(text, "// Read with pgm_read_byte(&" + name + "[i]): the array stays in flash.");
    if (text.settings.art) write_art(text);
    line(text, "const uint8_t " + name + "[] PROGMEM = {");
  }
  void add(ArrayText& text, std::span<const std::uint8_t> values, bool) const override {
    add_listed_values(text, values, "  ", false);
  }
  void close(ArrayText& text, std::size_t last_index) const override {
    close_c_array(*this, text, last_index);
  }
};

}  // namespace

const ArrayFormat& progmem_format() {
  static const ProgmemFormat format({
      .format = OutputFormat::kProgmem,
      .name = "progmem",
      .menu_label = "&PROGMEM: AVR flash",
      .help = "progmem: const uint8_t a[] PROGMEM, stays in an AVR's\n"
              "  flash; read it with pgm_read_byte(&a[i])",
      .text = true,
      .lives_in_ram = false,
  });
  return format;
}

}  // namespace marquee8
