#include "format_registry.h"

namespace marquee8 {

namespace {

// The bytes alone, for an EEPROM image or a file on an SD card.
class RawFormat final : public ArrayFormat {
 public:
  using ArrayFormat::ArrayFormat;

  void open(ArrayText&) const override {}
  void add(ArrayText& text, std::span<const std::uint8_t> values, bool) const override {
    text.pending.append(values.begin(), values.end());
    text.written += values.size();
  }
  void close(ArrayText&, std::size_t) const override {}
};

}  // namespace

const ArrayFormat& raw_format() {
  static const RawFormat format({
      .format = OutputFormat::kRaw,
      .name = "raw",
      .menu_label = "&Raw Bytes",
      .help = "raw: the bytes alone, for EEPROM or an SD card (never\n"
              "  to a terminal: use -o or a pipe)",
      .text = false,
      .lives_in_ram = false,
  });
  return format;
}

}  // namespace marquee8
