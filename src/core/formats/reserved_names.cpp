#include "reserved_names.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace marquee8 {

namespace {

// C and C++ keywords, since the same output is compiled as either, with GNU C's.
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
                                           "typeof",
                                           "typeof_unqual",
                                           "union",
                                           "unsigned",
                                           "using",
                                           "virtual",
                                           "void",
                                           "volatile",
                                           "wchar_t",
                                           "while",
                                           "xor",
                                           "xor_eq"};

// Declared by <stddef.h> and by <stdint.h> beyond the patterns its standard reserves.
constexpr std::string_view kStandardNames[] = {
    "size_t",         "ptrdiff_t", "max_align_t", "nullptr_t",   "NULL",
    "offsetof",       "SIZE_MAX",  "PTRDIFF_MIN", "PTRDIFF_MAX", "SIG_ATOMIC_MIN",
    "SIG_ATOMIC_MAX", "WCHAR_MIN", "WCHAR_MAX",   "WINT_MIN",    "WINT_MAX"};

// avr-libc's <avr/pgmspace.h> beyond its prog_ types and pgm_ functions.
constexpr std::string_view kPgmspaceNames[] = {"PROGMEM", "PGM_P", "PGM_VOID_P", "PSTR"};

// Arduino's core, which every sketch includes: its types, the sketch's own two functions, and
// the constants and functions a marquee sketch calls.
constexpr std::string_view kArduinoNames[] = {
    "byte",         "word",         "boolean",      "String",
    "setup",        "loop",         "HIGH",         "LOW",
    "INPUT",        "OUTPUT",       "INPUT_PULLUP", "LED_BUILTIN",
    "LSBFIRST",     "MSBFIRST",     "PI",           "HALF_PI",
    "TWO_PI",       "DEG_TO_RAD",   "RAD_TO_DEG",   "EULER",
    "min",          "max",          "abs",          "constrain",
    "round",        "radians",      "degrees",      "sq",
    "bit",          "bitRead",      "bitSet",       "bitClear",
    "bitWrite",     "lowByte",      "highByte",     "pinMode",
    "digitalWrite", "digitalRead",  "analogRead",   "analogWrite",
    "millis",       "micros",       "delay",        "delayMicroseconds",
    "shiftOut",     "shiftIn",      "pulseIn",      "tone",
    "noTone",       "random",       "randomSeed",   "map",
    "interrupts",   "noInterrupts", "Serial",       "sei",
    "cli"};

constexpr std::string_view kPythonKeywords[] = {
    "False", "None",     "True",  "and",    "as",   "assert", "async",  "await",    "break",
    "class", "continue", "def",   "del",    "elif", "else",   "except", "finally",  "for",
    "from",  "global",   "if",    "import", "in",   "is",     "lambda", "nonlocal", "not",
    "or",    "pass",     "raise", "return", "try",  "while",  "with",   "yield"};

// Besides bytes and bytearray, what the array's users call to show it, as in
// framebuf.FrameBuffer(bytearray(a), len(a), 8, framebuf.MONO_VLSB): shadowing one breaks that.

template <std::size_t N>
bool contains(const std::string_view (&words)[N], std::string_view name) {
  return std::find(std::begin(words), std::end(words), name) != std::end(words);
}

bool is_lower(char c) { return c >= 'a' && c <= 'z'; }

// The names C's library directions keep for <stdint.h> and <inttypes.h>: types int*_t and
// uint*_t, macros INT*_MAX/_MIN/_C and UINT*_..., PRI and SCN followed by a lowercase letter or X.
std::optional<std::string> stdint_reserved(std::string_view name) {
  if ((name.starts_with("int") || name.starts_with("uint")) && name.ends_with("_t")) {
    return "a type name <stdint.h> reserves";
  }
  if ((name.starts_with("INT") || name.starts_with("UINT")) &&
      (name.ends_with("_MAX") || name.ends_with("_MIN") || name.ends_with("_C"))) {
    return "a macro name <stdint.h> reserves";
  }
  if ((name.starts_with("PRI") || name.starts_with("SCN")) && name.size() > 3 &&
      (is_lower(name[3]) || name[3] == 'X')) {
    return "a macro name <inttypes.h> reserves";
  }
  return std::nullopt;
}

// avr-libc's flash types (prog_uchar, prog_uint8_t...), readers (pgm_read_byte...) and the
// string functions on flash (strcpy_P, memcpy_PF...).
bool avr_libc_reserved(std::string_view name) {
  if (name.starts_with("prog_") || name.starts_with("pgm_") || contains(kPgmspaceNames, name)) {
    return true;
  }
  return (name.starts_with("mem") || name.starts_with("str")) &&
         (name.ends_with("_P") || name.ends_with("_PF") || name.ends_with("_rP"));
}

// What <avr/pgmspace.h> defines through <avr/io.h> for each chip: its registers, bits and
// vectors (PORTB, SREG, PB0...). An array of such a name does not compile for that chip.
constexpr std::string_view kAvrIoNames[] = {
#include "avr_io_names.inc"
};

std::optional<std::string> c_reserved(std::string_view name) {
  if (contains(kCKeywords, name)) return "a reserved word in C and C++";
  if (name.starts_with('_')) {
    return "reserved in C and C++: names starting with _ belong to the compiler and its library "
           "at file scope";
  }
  if (name == "main") return "the program's entry point, main";
  if (contains(kStandardNames, name)) return "a name <stddef.h> and <stdint.h> declare";
  if (auto why = stdint_reserved(name)) return why;
  if (avr_libc_reserved(name)) return "a name avr-libc's <avr/pgmspace.h> declares";
  if (std::binary_search(std::begin(kAvrIoNames), std::end(kAvrIoNames), name)) {
    return "a register, bit or vector name avr-libc's <avr/io.h> defines for an AVR chip";
  }
  if (contains(kArduinoNames, name)) return "a name Arduino's core declares";
  return std::nullopt;
}

std::optional<std::string> python_reserved(std::string_view name) {
  if (contains(kPythonKeywords, name)) return "a reserved word in Python";
  if (name.size() > 4 && name.starts_with("__") && name.ends_with("__")) {
    return "a name Python keeps for itself (__...__)";
  }
  if (name == "bytes" || name == "bytearray") return "the builtin the array is made with";
  // The output's first line shows the array with both; an array of that name would hide them.
  if (name == "len") return "Python's len(), which the output's FrameBuffer line calls";
  if (name == "framebuf") return "the MicroPython module the output's FrameBuffer line uses";
  return std::nullopt;
}

}  // namespace

std::optional<std::string> reserved_because(std::string_view name, NameLanguage language) {
  return language == NameLanguage::kPython ? python_reserved(name) : c_reserved(name);
}

}  // namespace marquee8
