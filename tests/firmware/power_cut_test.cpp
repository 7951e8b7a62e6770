// A power cut at any moment of a write leaves the board with the message it had or the new one,
// whole. The send happens once, with the real marquee8; the board is then run again from the
// same start with the same bytes arriving at the same cycles, which makes it do exactly what it
// did, and every few hundred microseconds its EEPROM is what a board whose power is cut then
// comes back with.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

#include "board_session.h"
#include "expected_array.h"
#include "marquee8_protocol.h"
#include "receiver_support.h"

namespace marquee8::testing {
namespace {

constexpr std::uint64_t kCyclesPerMicrosecond = 16;
constexpr std::uint64_t kCutEvery = 400 * kCyclesPerMicrosecond;

struct Stored {
  std::size_t columns = 0;
  std::uint16_t crc = 0;
};

Stored stored(const std::vector<unsigned>& array) {
  std::uint16_t crc = MARQUEE8_CRC_START;
  for (const unsigned column : array)
    crc = marquee8_crc_add(crc, static_cast<std::uint8_t>(column));
  return {array.size(), crc};
}

// What a board whose power comes back with `eeprom` shows first, and what its greeting says
// it stores: "OLD", "NEW", or what else.
std::string shown_after_power_up(const std::vector<std::uint8_t>& eeprom,
                                 const std::vector<unsigned>& old_array,
                                 const std::vector<unsigned>& new_array) {
  SimulatedBoard board(firmware_for(Board::kUno), Board::kUno, &eeprom);
  std::vector<std::uint8_t> greeting;
  board.on_serial_output([&](std::uint8_t byte) { greeting.push_back(byte); });
  FrameRecorder recorder(board, ModuleType::kFc16);
  const Recording first =
      recorder.record([](const std::vector<Frame>& frames) { return !frames.empty(); });
  board.run_until(board.simulated_seconds() + 0.01);  // the greeting follows the first picture
  if (!first.fault.empty() || first.frames.empty()) return "no picture: " + first.fault;
  constexpr std::size_t kPayload = 3;
  if (greeting.size() != MARQUEE8_FRAME_OVERHEAD + MARQUEE8_INFO_SIZE) return "no greeting";
  const Stored says = {
      static_cast<std::size_t>(greeting[kPayload + MARQUEE8_INFO_COLUMNS] |
                               greeting[kPayload + MARQUEE8_INFO_COLUMNS + 1] << 8),
      static_cast<std::uint16_t>(greeting[kPayload + MARQUEE8_INFO_CRC] |
                                 greeting[kPayload + MARQUEE8_INFO_CRC + 1] << 8)};
  for (const auto& [name, array] : {std::pair{"OLD", &old_array}, std::pair{"NEW", &new_array}}) {
    const Stored expected = stored(*array);
    if (first.frames[0] == window_frame(*array, 0) && says.columns == expected.columns &&
        says.crc == expected.crc) {
      return name;
    }
  }
  return "something else: " + std::to_string(says.columns) + " columns";
}

TEST(PowerCut, AtAnyMomentOfAWriteLeavesTheOldMessageOrTheNew) {
  const std::vector<std::uint8_t>& old_eeprom = old_message_eeprom(Board::kUno);
  std::vector<SerialInput> input;
  {
    SimulatedBoard board(firmware_for(Board::kUno), Board::kUno, &old_eeprom);
    const std::string port = board.open_serial_port();
    const CommandResult sent =
        run_beside_board(board, std::string(MARQUEE8) + " --send=" + port + " NEW");
    ASSERT_EQ(sent.status, 0) << sent.output;
    input = board.serial_input();
  }
  OutputSettings no_lead_out;
  const std::vector<unsigned> new_array = expected_array("NEW", no_lead_out);
  const std::vector<unsigned> old_array = message_array("OLD");

  // From the first byte of the send to its last, the read-back's.
  std::vector<std::pair<std::uint64_t, std::string>> cuts;
  SimulatedBoard board(firmware_for(Board::kUno), Board::kUno, &old_eeprom);
  board.replay_serial_input(input);
  for (std::uint64_t cut = input.front().cycle; cut <= input.back().cycle; cut += kCutEvery) {
    board.run_until(static_cast<double>(cut) / (kCyclesPerMicrosecond * 1e6));
    std::vector<std::uint8_t> eeprom = board.eeprom();
    // A byte cut while it is written holds anything.
    if (const auto address = board.eeprom_model().byte_being_programmed()) eeprom[*address] ^= 0x5A;
    cuts.emplace_back(cut, shown_after_power_up(eeprom, old_array, new_array));
  }

  // Every cut's outcome, in runs: the old message up to one moment, the new one after it.
  std::size_t olds = 0, news = 0;
  std::string runs;
  for (std::size_t i = 0; i < cuts.size(); ++i) {
    olds += cuts[i].second == "OLD";
    news += cuts[i].second == "NEW";
    if (i == 0 || cuts[i].second != cuts[i - 1].second) {
      runs += " from " + std::to_string(cuts[i].first / kCyclesPerMicrosecond) + " µs " +
              cuts[i].second;
    }
  }
  std::cout << cuts.size() << " power cuts " << kCutEvery / kCyclesPerMicrosecond
            << " µs apart: " << olds << " showed OLD, " << news << " NEW, "
            << cuts.size() - olds - news << " anything else;" << runs << '\n';
  EXPECT_EQ(olds + news, cuts.size()) << runs;
  EXPECT_GT(olds, 0U);
  EXPECT_GT(news, 0U);
  EXPECT_EQ(std::count(runs.begin(), runs.end(), 'f'), 2) << "not old, then new:" << runs;
}

}  // namespace
}  // namespace marquee8::testing
