// The simulated chain on its own, fed words directly: which LED each module type's registers
// light, as the LED-matrix libraries document the boards, and the faults that keep a picture
// from counting.
#include "max7219_chain.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "record_frames.h"

namespace marquee8::testing {
namespace {

using ::testing::HasSubstr;

// Shifts `bytes` in, then CS rises.
void load(Max7219Chain& chain, const std::vector<std::uint8_t>& bytes) {
  for (const std::uint8_t byte : bytes) chain.shift(byte);
  chain.latch();
}

// The bytes of one `reg`, `value` word for every module.
std::vector<std::uint8_t> to_every_module(std::uint8_t reg, std::uint8_t value) {
  std::vector<std::uint8_t> bytes(2 * kModules, value);
  for (std::size_t word = 0; word < bytes.size(); word += 2) bytes[word] = reg;
  return bytes;
}

// Set up as the datasheet asks, the LED registers cleared, except register `skipped`.
void set_up(Max7219Chain& chain, int skipped = 0) {
  load(chain, to_every_module(0x0F, 0));  // display test off
  load(chain, to_every_module(0x09, 0));  // no decoding
  load(chain, to_every_module(0x0B, 7));  // scan all 8 registers
  for (std::uint8_t reg = 1; reg <= 8; ++reg) {
    if (reg != skipped) load(chain, to_every_module(reg, 0));
  }
  load(chain, to_every_module(0x0C, 1));  // on
}

struct Led {
  std::string name;
  ModuleType type;
  int module;  // 0: the first in the chain, wired to the Uno
  std::uint8_t reg;
  int bit;
  int row, x;  // where it lights, from the top left of the display
};
void PrintTo(const Led& led, std::ostream* out) { *out << led.name; }

class ChainLeds : public ::testing::TestWithParam<Led> {};

TEST_P(ChainLeds, LightWhereTheBoardIsWired) {
  const Led& led = GetParam();
  Max7219Chain chain(kModules, led.type);
  set_up(chain);
  // No-ops for the other modules; the first word sent goes to the far end of the chain.
  std::vector<std::uint8_t> bytes = to_every_module(0, 0);
  const auto word = static_cast<std::size_t>(2 * (kModules - 1 - led.module));
  bytes[word] = led.reg;
  bytes[word + 1] = static_cast<std::uint8_t>(1 << led.bit);
  load(chain, bytes);

  ASSERT_EQ(chain.fault(), "");
  Frame expected(8, std::string(8 * kModules, '.'));
  expected[static_cast<std::size_t>(led.row)][static_cast<std::size_t>(led.x)] = '#';
  EXPECT_EQ(chain.frame(), expected);
}

// FC-16: DIG0 (register 1) the top row, DP (bit 7) the leftmost column. Generic, chip at the
// top: DIG0 the rightmost column, DP the top row. Both chain from right to left.
INSTANTIATE_TEST_SUITE_P(
    Boards, ChainLeds,
    ::testing::Values(Led{"fc16_first_module_top_left", ModuleType::kFc16, 0, 1, 7, 0, 24},
                      Led{"fc16_first_module_bottom_right", ModuleType::kFc16, 0, 8, 0, 7, 31},
                      Led{"fc16_last_module_top_left", ModuleType::kFc16, 3, 1, 7, 0, 0},
                      Led{"generic_first_module_top_right", ModuleType::kGeneric, 0, 1, 7, 0, 31},
                      Led{"generic_first_module_bottom_left", ModuleType::kGeneric, 0, 8, 0, 7, 24},
                      Led{"generic_last_module_top_left", ModuleType::kGeneric, 3, 8, 7, 0, 0}),
    [](const auto& info) { return info.param.name; });

struct Fault {
  std::string name;
  int skipped;                     // an LED register the set-up leaves out, 0 for none
  std::vector<std::uint8_t> then;  // shifted in after the set-up, then CS rises
  std::string fault;
};
void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.name; }

class ChainFaults : public ::testing::TestWithParam<Fault> {};

TEST_P(ChainFaults, KeepThePictureFromCounting) {
  const Fault& row = GetParam();
  Max7219Chain chain(kModules, ModuleType::kFc16);
  set_up(chain, row.skipped);
  if (!row.then.empty()) load(chain, row.then);
  EXPECT_THAT(chain.fault(), HasSubstr(row.fault));
}

INSTANTIATE_TEST_SUITE_P(
    Protocol, ChainFaults,
    ::testing::Values(
        Fault{"load_short_of_a_word", 0, {0, 0, 0, 0, 0, 0, 0}, "CS rose after 7 bytes"},
        Fault{"led_register_never_written", 5, {}, "register 5 never written"},
        Fault{"shut_down_again", 0, to_every_module(0x0C, 0), "is shut down"},
        Fault{"display_test_left_on", 0, to_every_module(0x0F, 1), "display test"},
        Fault{"digits_decoded", 0, to_every_module(0x09, 0xFF), "decodes"},
        Fault{"scan_limit_short", 0, to_every_module(0x0B, 3), "scans only 4 of 8"},
        Fault{"no_such_register", 0, to_every_module(0x0D, 0), "does not have"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace marquee8::testing
