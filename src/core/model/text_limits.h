#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

#include "conversion_error.h"
#include "output_settings.h"

namespace marquee8 {

// Columns a character takes with cell spacing, as the classic program counts them.
inline constexpr int kCellWidth = 6;

// The most UTF-16 code units a text may have: its 6n + 1 columns and the longest leads must be
// countable in an int, which is what the length declaration holds.
inline constexpr std::size_t kMaxTextLength =
    (static_cast<std::size_t>(std::numeric_limits<int>::max()) - 1 - kLeadInRange.highest -
     kLeadOutRange.highest) /
    kCellWidth;

// Throws ConversionError (kTextTooLong) for a text longer than kMaxTextLength.
inline void check_length(std::size_t code_units) {
  if (code_units > kMaxTextLength) {
    throw ConversionError(ConversionError::Kind::kTextTooLong,
                          "the text is too long: " + std::to_string(code_units) +
                              " characters, at most " + std::to_string(kMaxTextLength) +
                              " fit in one array");
  }
}

// The most elements an array may have: its length declaration holds the last index in an int.
inline constexpr std::size_t kMaxArrayElements =
    static_cast<std::size_t>(std::numeric_limits<int>::max()) + 1;

// Throws ConversionError (kTextTooLong) when `columns` and the leads of `settings` make more
// elements than kMaxArrayElements; `what` is "the text" or "the array".
inline void check_array_length(std::size_t columns, const OutputSettings& settings,
                               std::string_view what) {
  const auto leads =
      static_cast<std::size_t>(settings.lead_in) + static_cast<std::size_t>(settings.lead_out);
  if (columns > kMaxArrayElements - leads) {
    throw ConversionError(ConversionError::Kind::kTextTooLong,
                          std::string(what) + " is too long: " + std::to_string(columns) +
                              " columns and " + std::to_string(leads) + " lead columns, at most " +
                              std::to_string(kMaxArrayElements) + " fit in one array");
  }
}

}  // namespace marquee8
