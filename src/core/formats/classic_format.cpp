#include <charconv>
#include <cstring>

#include "format_registry.h"
#include "number_text.h"

namespace marquee8 {

namespace {

constexpr std::array<NumberText, 256> kClassicDecimal = number_texts(false, ", ");
constexpr std::array<NumberText, 256> kClassicHex = number_texts(true, ", ");

// byte a[]={0,0,0,0,0,0,0,0, 54, 73, ...};<CR><LF>int slen= 44;<CR><LF>: what marquee firmware
// already carries, so every byte of it stays as it always was.
class ClassicFormat final : public ArrayFormat {
 public:
  using ArrayFormat::ArrayFormat;

  void open(ArrayText& text) const override {
    if (text.settings.art) write_art(text);
    text.pending += "byte " + text.settings.array_name + "[]={";
  }

  void add(ArrayText& text, std::span<const std::uint8_t> values, bool lead) const override {
    if (lead) {
      // The lead-in's zeros have never had the space every other number keeps for its sign.
      const auto& numbers = number_texts_for(text.settings.hex);
      for (const std::uint8_t value : values) {
        if (text.written++ != 0) text.pending += ',';
        text.pending += numbers[value].view();
      }
      return;
    }
    // The classic array of a long text is most of what marquee8 ever writes: one table look-up
    // and one fixed-size copy a column, into room made for the longest.
    const auto& texts = text.settings.hex ? kClassicHex : kClassicDecimal;
    std::string& pending = text.pending;
    if (text.written == 0 && !values.empty()) {
      pending += texts[values.front()].view().substr(1);  // no comma
      values = values.subspan(1);
      ++text.written;
    }
    std::size_t size = pending.size();
    pending.resize(size + values.size() * sizeof(NumberText::chars));
    for (const std::uint8_t value : values) {
      const NumberText& number = texts[value];
      std::memcpy(pending.data() + size, number.chars.data(), sizeof number.chars);
      size += number.size;
    }
    pending.resize(size);
    text.written += values.size();
  }

  void close(ArrayText& text, std::size_t last_index) const override {
    char digits[24];
    text.pending += "};\r\nint " + text.settings.length_name + "= ";
    text.pending.append(digits, std::to_chars(digits, digits + sizeof digits, last_index).ptr);
    text.pending += ";\r\n";
  }

  std::string_view line_end() const override { return "\r\n"; }
};

}  // namespace

const ArrayFormat& classic_format() {
  static const ClassicFormat format({
      .format = OutputFormat::kClassic,
      .name = "classic",
      .menu_label = "&Classic: byte a[] (RAM)",
      .help = "classic (default): byte a[]={...}; int slen=...;\n"
              "  copied into RAM at start-up on an AVR (2 KB on an Uno)",
      .text = true,
      .lives_in_ram = true,
  });
  return format;
}

}  // namespace marquee8
