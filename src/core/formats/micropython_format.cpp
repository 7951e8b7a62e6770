#include <string>

#include "format_registry.h"
#include "listed_values.h"

namespace marquee8 {

namespace {

// bytes((...)): with bit 0 the top row it is a framebuf.MONO_VLSB buffer 8 rows high.
class MicroPythonFormat final : public ArrayFormat {
 public:
  using ArrayFormat::ArrayFormat;

  void open(ArrayText& text) const override {
    const std::string& name = text.settings.array_name;
    line(text, text.settings.msb_top
                   ? "# One byte per column, bit 7 the top row (not framebuf.MONO_VLSB)."
                   : "# framebuf.FrameBuffer(bytearray(" + name + "), len(" + name +
                         "), 8, framebuf.MONO_VLSB) shows it.");
    if (text.settings.art) write_art(text);
    line(text, name + " = bytes((");
  }
  void add(ArrayText& text, std::span<const std::uint8_t> values, bool) const override {
    add_listed_values(text, values, "    ", true);
  }
  void close(ArrayText& text, std::size_t last_index) const override {
    line(text, "))");
    line(text, text.settings.length_name + " = " + std::to_string(last_index));
  }
  std::string_view comment() const override { return "# "; }
};

}  // namespace

const ArrayFormat& micropython_format() {
  static const MicroPythonFormat format({
      .format = OutputFormat::kMicroPython,
      .name = "micropython",
      .menu_label = "&MicroPython bytes",
      .help = "micropython: a = bytes((...)), a framebuf.MONO_VLSB\n"
              "  buffer 8 rows high",
      .text = true,
      .lives_in_ram = false,
  });
  return format;
}

}  // namespace marquee8
