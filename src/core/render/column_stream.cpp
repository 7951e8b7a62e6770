#include "column_stream.h"

#include <utf8.h>

#include <algorithm>
#include <array>
#include <optional>
#include <unordered_set>
#include <utility>
#include <vector>

#include "text_constants.h"

namespace marquee8 {

namespace {

bool is_high_surrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Code points of UTF-16 text; a lone surrogate cannot be drawn as anything but the replacement.
class Utf16CodePoints {
 public:
  explicit Utf16CodePoints(std::u16string_view text) : text_(text) {}
  bool done() const { return i_ == text_.size(); }
  char32_t next() {
    const char16_t unit = text_[i_++];
    if (is_high_surrogate(unit) && i_ < text_.size() && is_low_surrogate(text_[i_])) {
      const char16_t low = text_[i_++];
      return 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00);
    }
    if (is_high_surrogate(unit) || is_low_surrogate(unit)) return kReplacementCharacter;
    return unit;
  }

 private:
  std::u16string_view text_;
  std::size_t i_ = 0;
};

// Code points of UTF-8 that Utf8Line has already checked.
class Utf8CodePoints {
 public:
  explicit Utf8CodePoints(std::string_view text) : at_(text.begin()), end_(text.end()) {}
  bool done() const { return at_ == end_; }
  char32_t next() { return utf8::unchecked::next(at_); }

 private:
  std::string_view::const_iterator at_;
  std::string_view::const_iterator end_;
};

// Moves a glyph column whose bit 0 lies `offset` rows below the canvas top into the 32 rows a
// column keeps; a canvas cuts them to its own height.
std::uint32_t place(std::uint64_t mask, int offset) {
  if (offset >= 64 || offset <= -64) return 0;
  const std::uint64_t moved = offset >= 0 ? mask << offset : mask >> -offset;
  return static_cast<std::uint32_t>(moved);
}

// The columns not yet handed on, from `first_` onwards.
class PendingColumns {
 public:
  static constexpr std::size_t kBlock = 4096;

  PendingColumns(std::size_t column_count, ColumnConsumer& consumer)
      : column_count_(column_count), consumer_(consumer) {}

  // Paints a glyph's masks from column `first_x` on, each moved down by `offset` rows.
  void paint(long long first_x, std::span<const std::uint64_t> masks, int offset) {
    const long long begin = std::max(first_x, static_cast<long long>(first_));
    const long long end = std::min(first_x + static_cast<long long>(masks.size()),
                                   static_cast<long long>(column_count_));
    if (begin >= end) return;
    const std::size_t needed = static_cast<std::size_t>(end) - first_;
    if (columns_.size() < needed) columns_.resize(needed);
    for (long long x = begin; x < end; ++x) {
      columns_[static_cast<std::size_t>(x) - first_] |=
          place(masks[static_cast<std::size_t>(x - first_x)], offset);
    }
  }

  // Hands on the columns left of `x` once there is a block of them.
  void settle_before(long long x) {
    const std::size_t end = std::min(static_cast<std::size_t>(std::max(x, 0LL)), column_count_);
    if (end >= first_ + kBlock) hand_on(end);
  }

  void finish() { hand_on(column_count_); }

 private:
  void hand_on(std::size_t end) {
    const std::size_t count = end - first_;
    if (columns_.size() < count) columns_.resize(count);
    consumer_.take(first_, {columns_.data(), count});
    columns_.erase(columns_.begin(), columns_.begin() + static_cast<std::ptrdiff_t>(count));
    first_ = end;
  }

  std::size_t column_count_;
  ColumnConsumer& consumer_;
  std::size_t first_ = 0;
  std::vector<std::uint32_t> columns_;
};

bool meant_blank(char32_t code_point) {
  return code_point == U' ' || code_point == 0xA0 ||
         (code_point >= 0x2000 && code_point <= 0x200B) || code_point == 0x3000 ||
         code_point == 0xFEFF;
}

// Looks at each character once, the first time it appears.
class WarningCollector {
 public:
  WarningCollector(FontWarnings& warnings, const GlyphCache& glyphs, const LineLayout& layout)
      : warnings_(warnings), glyphs_(glyphs), layout_(layout) {}

  void look_at(char32_t code_point, const GlyphColumns& glyph) {
    if (code_point < ascii_seen_.size() ? std::exchange(ascii_seen_[code_point], true)
                                        : !others_seen_.insert(code_point).second) {
      return;
    }
    if (!glyphs_.font().has_glyph(code_point)) {
      warnings_.missing.push_back(code_point);
    } else if (glyph.blank()) {
      if (!meant_blank(code_point)) warnings_.blank.push_back(code_point);
    } else {
      if (layout_.baseline - glyph.ink_top() < layout_.first_sampled_row ||
          layout_.baseline + glyph.ink_bottom() - 1 > layout_.last_sampled_row) {
        warnings_.clipped.push_back(code_point);
      }
      if (layout_.cell_spacing && (glyph.ink_left() < 0 || glyph.ink_right() >= kCellWidth)) {
        warnings_.spilling.push_back(code_point);
      }
    }
  }

 private:
  FontWarnings& warnings_;
  const GlyphCache& glyphs_;
  const LineLayout& layout_;
  std::array<bool, 128> ascii_seen_{};
  std::unordered_set<char32_t> others_seen_;
};

int pen_step(const GlyphColumns& glyph, const LineLayout& layout) {
  // The pen never moves back: a later glyph could otherwise paint a column already handed on.
  return layout.cell_spacing ? kCellWidth : std::max(glyph.advance, 0);
}

template <typename CodePoints>
void draw(CodePoints code_points, std::size_t code_units, GlyphCache& glyphs,
          const LineLayout& layout, ColumnConsumer& consumer, FontWarnings* warnings) {
  // Every glyph the text uses is rendered first, so that how far left of its pen any of them
  // reaches is known before a column is handed on as final; the pen's way is measured too.
  std::optional<WarningCollector> collector;
  if (warnings != nullptr) collector.emplace(*warnings, glyphs, layout);
  long long final_pen = 0;
  for (CodePoints all = code_points; !all.done();) {
    const char32_t code_point = all.next();
    const GlyphColumns& glyph = glyphs.glyph(code_point);
    final_pen += pen_step(glyph, layout);
    if (collector) collector->look_at(code_point, glyph);
  }
  const int reach_left = glyphs.reach_left();
  const std::size_t column_count =
      (layout.cell_spacing ? static_cast<long long>(code_units) * kCellWidth : final_pen) + 1;
  consumer.begin(column_count);

  PendingColumns pending(column_count, consumer);
  long long pen = 0;
  while (!code_points.done()) {
    const GlyphColumns& glyph = glyphs.glyph(code_points.next());
    const int offset = layout.baseline - glyph.top;
    pending.paint(pen + glyph.left, glyph.masks, offset);
    pen += pen_step(glyph, layout);
    pending.settle_before(pen + reach_left);
  }
  pending.finish();
}

}  // namespace

void draw_columns(std::u16string_view text, GlyphCache& glyphs, const LineLayout& layout,
                  ColumnConsumer& consumer, FontWarnings* warnings) {
  draw(Utf16CodePoints(text), text.size(), glyphs, layout, consumer, warnings);
}

void draw_columns(const Utf8Line& text, GlyphCache& glyphs, const LineLayout& layout,
                  ColumnConsumer& consumer, FontWarnings* warnings) {
  draw(Utf8CodePoints(text.bytes()), text.code_units(), glyphs, layout, consumer, warnings);
}

}  // namespace marquee8
