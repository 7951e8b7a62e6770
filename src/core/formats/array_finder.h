#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace marquee8 {

// A byte array's declaration found in a whole sketch, header or module, among other code.
struct FoundArray {
  std::string_view name;
  std::size_t begin;  // the declaration's first byte
  std::size_t end;    // past its ';' (C), or the end of its last line (Python)
  bool conditional;   // C: inside #if, #ifdef or #ifndef, so it may not be compiled at all
};

struct FoundArrays {
  std::vector<FoundArray> arrays;          // in the order of the text
  std::vector<std::string_view> macros;    // C: the names #define gives, which could change one
  std::vector<std::string_view> assigned;  // Python: every name assigned at module level
  bool complete = true;  // false: a comment or string is never closed, so the rest is unknown
};

// The byte arrays declared at file scope of a C or C++ text (`[qualifiers] byte-type NAME[N?]
// [PROGMEM] = {`), passing over functions, classes, other declarations, comments, strings and
// directives (a backslash at a line's end carries them on).
FoundArrays find_c_arrays(std::string_view text);

// The `NAME = bytes(...)` and `NAME = bytearray(...)` assignments at module level of a Python
// text, passing over the rest of the code, comments and strings.
FoundArrays find_python_arrays(std::string_view text);

}  // namespace marquee8
