#include "array_text.h"

#include <array>
#include <charconv>
#include <stdexcept>
#include <string_view>

namespace marquee8 {

namespace {

constexpr std::string_view kHead = "byte a[]={0,0,0,0,0,0,0,0,";
constexpr std::size_t kLeadIn = 8;
constexpr std::size_t kBlockSize = 64 * 1024;

// Every number keeps a sign position, a space unless it is negative, so that our arrays stay
// byte-identical to the ones marquee firmware already carries. Column values come from a table:
// formatting them is most of a long conversion's work.
struct NumberText {
  std::array<char, 4> chars{};
  std::size_t size = 0;
  std::string_view view() const { return {chars.data(), size}; }
};

constexpr std::array<NumberText, 256> kValueTexts = [] {
  std::array<NumberText, 256> texts{};
  for (int value = 0; value < 256; ++value) {
    NumberText& text = texts[value];
    text.chars[text.size++] = ' ';
    if (value >= 100) text.chars[text.size++] = static_cast<char>('0' + value / 100);
    if (value >= 10) text.chars[text.size++] = static_cast<char>('0' + value / 10 % 10);
    text.chars[text.size++] = static_cast<char>('0' + value % 10);
  }
  return texts;
}();

}  // namespace

ArrayTextWriter::ArrayTextWriter(ByteSink& out) : out_(out) {
  pending_.reserve(kBlockSize + 8);
  pending_ += kHead;
}

void ArrayTextWriter::add(std::span<const std::uint8_t> values) {
  for (const std::uint8_t value : values) {
    if (values_++ != 0) pending_ += ',';
    pending_ += kValueTexts[value].view();
    if (pending_.size() >= kBlockSize) flush();
  }
}

void ArrayTextWriter::finish() {
  if (values_ == 0) throw std::invalid_argument("an array needs at least one value");
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, kLeadIn + values_ - 1).ptr;
  pending_ += "};\r\nint slen= ";
  pending_.append(digits, end);
  pending_ += ';';
  flush();
}

void ArrayTextWriter::flush() {
  out_.write(pending_);
  pending_.clear();
}

std::string array_text(std::span<const std::uint8_t> values) {
  StringSink text;
  ArrayTextWriter writer(text);
  writer.add(values);
  writer.finish();
  return text.take();
}

}  // namespace marquee8
