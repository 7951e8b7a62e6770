#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace marquee8 {

enum class NameLanguage { kC, kPython };

// Why `name` cannot name the array or its length in code of `language`, as the end of a sentence
// "'name' is ...", or nothing when it can. The writer refuses exactly these names and the array
// reader reads every other identifier, so whatever is written reads back.
//
// C (compiled as C and as C++, by gcc, clang and avr-gcc): the keywords of both and GNU's, main,
// the names the output's own includes declare or reserve (<stdint.h>, <stddef.h>, avr-libc's
// <avr/pgmspace.h> and <inttypes.h>, the register, bit and vector names its <avr/io.h> defines
// for any AVR chip, and Arduino's core, which every sketch includes), and every name starting
// with _, which both languages reserve at file scope.
// Python: its keywords, the dunder names, and the builtins and module the array is made and
// shown with (bytes, bytearray, len, framebuf).
std::optional<std::string> reserved_because(std::string_view name, NameLanguage language);

}  // namespace marquee8
