#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

namespace marquee8::testing {

// Passes when `err` is one "marquee8: " diagnostic naming exactly byte `offset`.
::testing::AssertionResult names_byte_offset(const std::string& err, std::size_t offset);

}  // namespace marquee8::testing
