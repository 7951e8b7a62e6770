#include "array_writer.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "format_registry.h"
#include "sampled_rows.h"

namespace marquee8 {

namespace {

// Values go to the format a slice at a time, so the pending text stays a few blocks long.
constexpr std::size_t kSliceSize = 4096;

constexpr std::array<std::uint8_t, 256> kReversed = [] {
  std::array<std::uint8_t, 256> table{};
  for (int value = 0; value < 256; ++value) {
    table[value] = reversed_bits(static_cast<std::uint8_t>(value));
  }
  return table;
}();

constexpr std::array<std::uint8_t, kSliceSize> kZeros{};

}  // namespace

ArrayWriter::ArrayWriter(const OutputSettings& settings, std::size_t column_count, ByteSink& out,
                         std::span<const std::uint8_t> art_columns)
    : format_(array_format(settings.format)),
      text_{settings,
            out,
            art_columns,
            static_cast<std::size_t>(settings.lead_in) + column_count +
                static_cast<std::size_t>(settings.lead_out),
            0,
            {}} {
  if (text_.count == 0) throw std::invalid_argument("an array needs at least one element");
  text_.pending.reserve(
      2 * ArrayText::kBlockSize);  // a slice of values is added before the flush check
  format_.open(text_);
  for (std::size_t left = static_cast<std::size_t>(settings.lead_in); left > 0;) {
    const std::size_t slice = std::min(left, kSliceSize);
    add_in_order(std::span(kZeros).first(slice), true);
    left -= slice;
  }
}

void ArrayWriter::add(std::span<const std::uint8_t> column_values) {
  while (!column_values.empty()) {
    const std::span<const std::uint8_t> slice =
        column_values.first(std::min(column_values.size(), kSliceSize));
    column_values = column_values.subspan(slice.size());
    if (!text_.settings.msb_top) {
      add_in_order(slice, false);
      continue;
    }
    reversed_.resize(slice.size());
    std::transform(slice.begin(), slice.end(), reversed_.begin(),
                   [](std::uint8_t value) { return kReversed[value]; });
    add_in_order(reversed_, false);
  }
}

void ArrayWriter::finish() {
  for (std::size_t left = static_cast<std::size_t>(text_.settings.lead_out); left > 0;) {
    const std::size_t slice = std::min(left, kSliceSize);
    add_in_order(std::span(kZeros).first(slice), false);
    left -= slice;
  }
  format_.close(text_, text_.count - 1);
  text_.out.write(text_.pending);
  text_.pending.clear();
}

void ArrayWriter::add_in_order(std::span<const std::uint8_t> values, bool lead) {
  format_.add(text_, values, lead);
  text_.flush_if_full();
}

void write_array(const OutputSettings& settings, std::span<const std::uint8_t> columns,
                 ByteSink& out) {
  ArrayWriter writer(settings, columns.size(), out, columns);
  writer.add(columns);
  writer.finish();
}

}  // namespace marquee8
