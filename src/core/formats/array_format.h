#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "byte_sink.h"
#include "format_description.h"
#include "output_settings.h"

namespace marquee8 {

// The text of one array as it grows, shared by the writer and the format writing it.
struct ArrayText {
  static constexpr std::size_t kBlockSize = 64 * 1024;

  const OutputSettings& settings;
  ByteSink& out;
  std::span<const std::uint8_t> art_columns;  // the text's own columns, for the picture
  std::size_t count;                          // elements in all, leads included
  std::size_t written = 0;                    // elements so far
  std::string pending;                        // not yet handed to `out`

  // Hands the pending text on once it makes a block, so a long array is never held whole.
  void flush_if_full() {
    if (pending.size() < kBlockSize) return;
    out.write(pending);
    pending.clear();
  }
};

// One output format: what it is called and how its array is spelled. Each format lives in a
// file of its own and has one row in the registry (format_registry.cpp).
class ArrayFormat {
 public:
  constexpr explicit ArrayFormat(const FormatDescription& description)
      : description_(description) {}

  const FormatDescription& description() const { return description_; }

  // Everything before the first element, the picture (write_art) included when asked for.
  virtual void open(ArrayText& text) const = 0;
  // Elements, their values already in the output's bit order; `lead` for the lead-in's.
  virtual void add(ArrayText& text, std::span<const std::uint8_t> values, bool lead) const = 0;
  // Everything after the last element; `last_index` is the length declaration's value.
  virtual void close(ArrayText& text, std::size_t last_index) const = 0;

  virtual std::string_view line_end() const { return "\n"; }
  virtual std::string_view comment() const { return "// "; }

  // A whole line, ended as the format ends its lines.
  void line(ArrayText& text, std::string_view content) const;
  // The rows of the lead-in, the text's columns and the lead-out as '#'/'.' comment lines.
  void write_art(ArrayText& text) const;

 protected:
  ~ArrayFormat() = default;

 private:
  FormatDescription description_;
};

}  // namespace marquee8
