// The simulated EEPROM as the ATmega328P's datasheet describes it: a sketch programs a byte in
// each mode and reports how long the chip stayed busy; the bytes then hold what each mode makes.
#include "simulated_eeprom.h"

#include <gtest/gtest.h>

#include "example_build.h"
#include "simulated_board.h"
#include "temporary_directory.h"

namespace marquee8::testing {
namespace {

struct Programmed {
  const char* mode;
  std::uint8_t old_value;
  std::uint8_t value;  // what eeprom_modes.ino programs
  std::uint8_t new_value;
  int tenths_of_a_millisecond;
};

TEST(SimulatedEeprom, ProgramsEachModeInItsTimeAndAWriteAloneOnlyClearsBits) {
  const Programmed rows[] = {{"erase and write", 0xF0, 0x0F, 0x0F, 34},
                             {"erase alone", 0x3C, 0x00, 0xFF, 18},
                             {"write alone, clearing bits", 0xF0, 0x3C, 0x30, 18},
                             {"write alone, to an erased byte", 0xFF, 0x5A, 0x5A, 18}};
  const TemporaryDirectory folder;
  const auto firmware =
      build_sketch(folder.path(), EEPROM_MODES_SKETCH, ARDUINO_UNO_BUILD_SKETCH, {});
  std::vector<std::uint8_t> eeprom(1024, 0xFF);
  for (std::size_t i = 0; i < std::size(rows); ++i) eeprom[i] = rows[i].old_value;
  SimulatedBoard board(firmware, Board::kUno, &eeprom);
  std::vector<std::uint8_t> times;
  board.on_serial_output([&](std::uint8_t tenths) { times.push_back(tenths); });
  board.run_until(0.1);

  ASSERT_EQ(times.size(), std::size(rows));
  const std::vector<std::uint8_t> after = board.eeprom();
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(times[i], rows[i].tenths_of_a_millisecond) << rows[i].mode;
    EXPECT_EQ(after[i], rows[i].new_value) << rows[i].mode;
  }
  const SimulatedEeprom::Operations& done = board.eeprom_model().operations();
  EXPECT_EQ(done.erase_and_write, 1U);
  EXPECT_EQ(done.erase, 1U);
  EXPECT_EQ(done.write, 2U);
}

}  // namespace
}  // namespace marquee8::testing
