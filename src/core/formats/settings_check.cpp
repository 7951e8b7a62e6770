#include "settings_check.h"

#include <algorithm>
#include <array>
#include <string>

#include "conversion_error.h"
#include "format_registry.h"
#include "reserved_names.h"
#include "setting_ranges.h"

namespace marquee8 {

namespace {

bool is_identifier(std::string_view name) {
  const auto letter = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
  };
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  return !name.empty() && letter(name[0]) &&
         std::all_of(name.begin(), name.end(), [&](char c) { return letter(c) || digit(c); });
}

[[noreturn]] void refuse(const std::string& message) {
  throw ConversionError(ConversionError::Kind::kInvalidSettings, message);
}

void check_name(std::string_view what, const std::string& name, OutputFormat format) {
  const bool python = format == OutputFormat::kMicroPython;
  if (!is_identifier(name)) {
    refuse(std::string(what) + " '" + name +
           "' is not an identifier: use letters, digits and _, not starting with a digit");
  }
  if (const auto why = reserved_because(name, python ? NameLanguage::kPython : NameLanguage::kC)) {
    refuse(std::string(what) + " '" + name + "' is " + *why);
  }
}

void check_lead(std::string_view what, const SettingRange& range, int columns) {
  if (!range.contains(columns)) {
    refuse(std::string(what) + " must be " + range.text() + ", not " + std::to_string(columns));
  }
}

}  // namespace

void check(const OutputSettings& settings) {
  check_lead("the lead-in", kLeadInRange, settings.lead_in);
  check_lead("the lead-out", kLeadOutRange, settings.lead_out);
  if (!array_format(settings.format).description().text) {
    if (settings.art) refuse("raw bytes have no room for an ASCII-art comment");
    return;
  }
  check_name("the array name", settings.array_name, settings.format);
  check_name("the length name", settings.length_name, settings.format);
  if (settings.array_name == settings.length_name) {
    refuse("the array and its length need different names, not both '" + settings.array_name + "'");
  }
}

}  // namespace marquee8
