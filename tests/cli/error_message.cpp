#include "error_message.h"

#include <regex>

namespace marquee8::testing {

::testing::AssertionResult names_byte_offset(const std::string& err, std::size_t offset) {
  const std::regex pattern("^marquee8: .*\\bbyte " + std::to_string(offset) + "\\b.*\n$");
  if (std::regex_match(err, pattern)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "expected a message naming byte " << offset << ", got: " << err;
}

}  // namespace marquee8::testing
