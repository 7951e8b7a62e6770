#include "shown.h"

#include "format_registry.h"

namespace marquee8 {

std::string shown_output(std::string output, OutputFormat format) {
  if (array_format(format).description().text) {
    output.resize(output.size() - (output.ends_with("\r\n") ? 2 : output.ends_with('\n') ? 1 : 0));
    return output;
  }
  constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(output.size() * 3);
  for (const char c : output) {
    const auto byte = static_cast<unsigned char>(c);
    if (!hex.empty()) hex += ' ';
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return hex;
}

}  // namespace marquee8
