#include "settings_check.h"

#include <algorithm>
#include <array>
#include <string>

#include "conversion_error.h"
#include "format_registry.h"

namespace marquee8 {

namespace {

// C and C++ keywords, since the same output is compiled as either; plus the type names our
// declarations use, which a name must not hide.
constexpr std::string_view kCKeywords[] = {"alignas",
                                           "alignof",
                                           "and",
                                           "and_eq",
                                           "asm",
                                           "auto",
                                           "bitand",
                                           "bitor",
                                           "bool",
                                           "break",
                                           "byte",
                                           "case",
                                           "catch",
                                           "char",
                                           "char8_t",
                                           "char16_t",
                                           "char32_t",
                                           "class",
                                           "compl",
                                           "concept",
                                           "const",
                                           "consteval",
                                           "constexpr",
                                           "constinit",
                                           "const_cast",
                                           "continue",
                                           "co_await",
                                           "co_return",
                                           "co_yield",
                                           "decltype",
                                           "default",
                                           "delete",
                                           "do",
                                           "double",
                                           "dynamic_cast",
                                           "else",
                                           "enum",
                                           "explicit",
                                           "export",
                                           "extern",
                                           "false",
                                           "float",
                                           "for",
                                           "friend",
                                           "goto",
                                           "if",
                                           "inline",
                                           "int",
                                           "long",
                                           "mutable",
                                           "namespace",
                                           "new",
                                           "noexcept",
                                           "not",
                                           "not_eq",
                                           "nullptr",
                                           "operator",
                                           "or",
                                           "or_eq",
                                           "private",
                                           "protected",
                                           "public",
                                           "register",
                                           "reinterpret_cast",
                                           "requires",
                                           "restrict",
                                           "return",
                                           "short",
                                           "signed",
                                           "sizeof",
                                           "static",
                                           "static_assert",
                                           "static_cast",
                                           "struct",
                                           "switch",
                                           "template",
                                           "this",
                                           "thread_local",
                                           "throw",
                                           "true",
                                           "try",
                                           "typedef",
                                           "typeid",
                                           "typename",
                                           "uint8_t",
                                           "uint16_t",
                                           "uint32_t",
                                           "union",
                                           "unsigned",
                                           "using",
                                           "virtual",
                                           "void",
                                           "volatile",
                                           "wchar_t",
                                           "while",
                                           "xor",
                                           "xor_eq",
                                           "PROGMEM",
                                           "_Alignas",
                                           "_Alignof",
                                           "_Atomic",
                                           "_Bool",
                                           "_Complex",
                                           "_Generic",
                                           "_Imaginary",
                                           "_Noreturn",
                                           "_Static_assert",
                                           "_Thread_local"};

constexpr std::string_view kPythonKeywords[] = {
    "False", "None",     "True",  "and",    "as",   "assert", "async",  "await",    "break",
    "class", "continue", "def",   "del",    "elif", "else",   "except", "finally",  "for",
    "from",  "global",   "if",    "import", "in",   "is",     "lambda", "nonlocal", "not",
    "or",    "pass",     "raise", "return", "try",  "while",  "with",   "yield",    "bytes"};

bool is_identifier(std::string_view name) {
  const auto letter = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
  };
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  return !name.empty() && letter(name[0]) &&
         std::all_of(name.begin(), name.end(), [&](char c) { return letter(c) || digit(c); });
}

template <std::size_t N>
bool contains(const std::string_view (&words)[N], std::string_view name) {
  return std::find(std::begin(words), std::end(words), name) != std::end(words);
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
  if (python ? contains(kPythonKeywords, name) : contains(kCKeywords, name)) {
    refuse(std::string(what) + " '" + name + "' is a reserved word in " +
           (python ? "Python" : "C and C++"));
  }
}

void check_lead(std::string_view what, int columns) {
  if (columns < 0 || columns > OutputSettings::kMaxLead) {
    refuse(std::string(what) + " must be 0 to " + std::to_string(OutputSettings::kMaxLead) +
           " columns, not " + std::to_string(columns));
  }
}

}  // namespace

void check(const OutputSettings& settings) {
  check_lead("the lead-in", settings.lead_in);
  check_lead("the lead-out", settings.lead_out);
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
