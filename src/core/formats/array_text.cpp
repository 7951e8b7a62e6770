#include "array_text.h"

#include <array>
#include <charconv>
#include <cstring>
#include <stdexcept>
#include <string_view>

namespace marquee8 {

namespace {

constexpr std::size_t kBlockSize = 64 * 1024;
constexpr std::size_t kValuesPerLine = 16;

// Formatting the values is most of a long conversion's work, so they come from tables.
struct NumberText {
  std::array<char, 8> chars{};
  std::size_t size = 0;
  std::string_view view() const { return {chars.data(), size}; }
};

// `before` is what precedes each number: nothing, or the classic ", " (a comma, then the space
// every classic number keeps for its sign).
constexpr std::array<NumberText, 256> number_texts(bool hex, std::string_view before = {}) {
  constexpr std::string_view kDigits = "0123456789ABCDEF";
  std::array<NumberText, 256> texts{};
  for (int value = 0; value < 256; ++value) {
    NumberText& text = texts[value];
    for (const char c : before) text.chars[text.size++] = c;
    if (hex) {
      for (const char c : {'0', 'x', kDigits[value / 16], kDigits[value % 16]}) {
        text.chars[text.size++] = c;
      }
    } else {
      if (value >= 100) text.chars[text.size++] = kDigits[value / 100];
      if (value >= 10) text.chars[text.size++] = kDigits[value / 10 % 10];
      text.chars[text.size++] = kDigits[value % 10];
    }
  }
  return texts;
}
constexpr std::array<NumberText, 256> kDecimal = number_texts(false);
constexpr std::array<NumberText, 256> kHex = number_texts(true);
constexpr std::array<NumberText, 256> kClassicDecimal = number_texts(false, ", ");
constexpr std::array<NumberText, 256> kClassicHex = number_texts(true, ", ");

constexpr std::array<std::uint8_t, 256> kReversed = [] {
  std::array<std::uint8_t, 256> table{};
  for (int value = 0; value < 256; ++value) table[value] = reversed_bits(value);
  return table;
}();

std::string_view line_end(OutputFormat format) {
  return format == OutputFormat::kClassic ? "\r\n" : "\n";
}

std::string_view comment(OutputFormat format) {
  return format == OutputFormat::kMicroPython ? "# " : "// ";
}

std::string length_type(std::size_t last_index) {
  return last_index <= 0xFFFF ? "uint16_t" : "uint32_t";
}

}  // namespace

ArrayWriter::ArrayWriter(const OutputSettings& settings, std::size_t column_count, ByteSink& out,
                         std::span<const std::uint8_t> art_columns)
    : settings_(settings),
      out_(out),
      count_(static_cast<std::size_t>(settings.lead_in) + column_count +
             static_cast<std::size_t>(settings.lead_out)) {
  if (count_ == 0) throw std::invalid_argument("an array needs at least one element");
  pending_.reserve(2 * kBlockSize);  // a block of values is added before the flush check
  const std::string& name = settings.array_name;
  switch (settings.format) {
    case OutputFormat::kClassic:
      if (settings.art) write_art(art_columns);
      pending_ += "byte " + name + "[]={";
      break;
    case OutputFormat::kProgmem:
      line("#include <avr/pgmspace.h>");
      line("// Read with pgm_read_byte(&" + name + "[i]): the array stays in flash.");
      if (settings.art) write_art(art_columns);
      line("const uint8_t " + name + "[] PROGMEM = {");
      break;
    case OutputFormat::kC:
      line("#include <stdint.h>");
      if (settings.art) write_art(art_columns);
      line("const uint8_t " + name + "[] = {");
      break;
    case OutputFormat::kMicroPython:
      line(settings.msb_top ? "# One byte per column, bit 7 the top row (not framebuf.MONO_VLSB)."
                            : "# framebuf.FrameBuffer(bytearray(" + name + "), len(" + name +
                                  "), 8, framebuf.MONO_VLSB) shows it.");
      if (settings.art) write_art(art_columns);
      line(name + " = bytes((");
      break;
    case OutputFormat::kRaw:
      break;
  }
  for (int i = 0; i < settings.lead_in; ++i) element(0, true);
}

void ArrayWriter::add(std::span<const std::uint8_t> column_values) {
  const bool reverse = settings_.msb_top;
  if (settings_.format != OutputFormat::kClassic) {
    for (const std::uint8_t value : column_values) {
      element(reverse ? kReversed[value] : value, false);
    }
    return;
  }
  // The classic array of a long text is most of what marquee8 ever writes: one table look-up
  // and one fixed-size copy a column, into room made for the longest.
  const auto& texts = settings_.hex ? kClassicHex : kClassicDecimal;
  if (written_ == 0 && !column_values.empty()) {
    const std::uint8_t first = column_values.front();
    pending_ += texts[reverse ? kReversed[first] : first].view().substr(1);  // no comma
    column_values = column_values.subspan(1);
    ++written_;
  }
  std::size_t size = pending_.size();
  pending_.resize(size + column_values.size() * sizeof(NumberText::chars));
  for (const std::uint8_t value : column_values) {
    const NumberText& text = texts[reverse ? kReversed[value] : value];
    std::memcpy(pending_.data() + size, text.chars.data(), sizeof text.chars);
    size += text.size;
  }
  pending_.resize(size);
  written_ += column_values.size();
  flush_if_full();
}

void ArrayWriter::finish() {
  for (int i = 0; i < settings_.lead_out; ++i) element(0, false);
  char digits[24];
  // (string_view's iterator-pair constructor is missing from emscripten's libc++.)
  const char* end = std::to_chars(digits, digits + sizeof digits, count_ - 1).ptr;
  const std::string_view last_index(digits, static_cast<std::size_t>(end - digits));
  const std::string& length = settings_.length_name;
  switch (settings_.format) {
    case OutputFormat::kClassic:
      pending_ += "};\r\nint " + length + "= ";
      pending_ += last_index;
      pending_ += ";\r\n";
      break;
    case OutputFormat::kProgmem:
    case OutputFormat::kC:
      line("};");
      line("const " + length_type(count_ - 1) + " " + length + " = " + std::string(last_index) +
           ";");
      break;
    case OutputFormat::kMicroPython:
      line("))");
      line(length + " = " + std::string(last_index));
      break;
    case OutputFormat::kRaw:
      break;
  }
  out_.write(pending_);
  pending_.clear();
}

void ArrayWriter::element(std::uint8_t value, bool lead) {
  const std::size_t index = written_++;
  const std::string_view number = (settings_.hex ? kHex : kDecimal)[value].view();
  switch (settings_.format) {
    case OutputFormat::kClassic:
      // The lead-in's zeros have never had the space every other number keeps for its sign.
      if (index != 0) pending_ += ',';
      if (!lead) pending_ += ' ';
      pending_ += number;
      break;
    case OutputFormat::kRaw:
      pending_ += static_cast<char>(value);
      break;
    default: {
      const bool python = settings_.format == OutputFormat::kMicroPython;
      const bool last = index + 1 == count_;
      pending_ += index % kValuesPerLine == 0 ? (python ? "    " : "  ") : " ";
      pending_ += number;
      // A Python tuple of one needs its comma; C's last element does without.
      if (python || !last) pending_ += ',';
      if (last || index % kValuesPerLine == kValuesPerLine - 1) pending_ += '\n';
    }
  }
  flush_if_full();
}

void ArrayWriter::write_art(std::span<const std::uint8_t> columns) {
  const std::size_t lead_in = static_cast<std::size_t>(settings_.lead_in);
  const std::size_t lead_out = static_cast<std::size_t>(settings_.lead_out);
  for (int bit = 0; bit < 8; ++bit) {
    pending_ += comment(settings_.format);
    pending_.append(lead_in, '.');
    for (const std::uint8_t value : columns) pending_ += (value >> bit) & 1 ? '#' : '.';
    pending_.append(lead_out, '.');
    pending_ += line_end(settings_.format);
    flush_if_full();
  }
}

void ArrayWriter::line(std::string_view text) {
  pending_ += text;
  pending_ += line_end(settings_.format);
}

void ArrayWriter::flush_if_full() {
  if (pending_.size() < kBlockSize) return;
  out_.write(pending_);
  pending_.clear();
}

void write_array(const OutputSettings& settings, std::span<const std::uint8_t> columns,
                 ByteSink& out) {
  ArrayWriter writer(settings, columns.size(), out, columns);
  writer.add(columns);
  writer.finish();
}

}  // namespace marquee8
