// A power cut at any moment of a write leaves the board with the message it had or the new one,
// whole. The send happens once, with the real marquee8; the board is then run again from the
// same start with the same bytes arriving at the same cycles, which makes it do exactly what it
// did, and every few hundred microseconds its EEPROM is what a board whose power is cut then
// comes back with.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <unordered_map>

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

// The EEPROM of a board that was sent `text` when it held `eeprom`.
std::vector<std::uint8_t> sent(const std::vector<std::uint8_t>& eeprom, std::string_view text) {
  SimulatedBoard board(firmware_for(Board::kUno), Board::kUno, &eeprom);
  const std::string port = board.open_serial_port();
  const CommandResult result = run_beside_board(board, send_command(port, text));
  EXPECT_EQ(result.status, 0) << result.output;
  return board.eeprom();
}

// "OLD" on show and "OLDER" in the other slot, as a board holds them whose power was cut before
// it erased "OLDER": the board erases it after power-up, and "OLD" after "NEW" is stored.
std::vector<std::uint8_t> old_and_older_eeprom() {
  const std::vector<std::uint8_t> older = sent(std::vector<std::uint8_t>(1024, 0xFF), "OLDER");
  std::vector<std::uint8_t> both = sent(older, "OLD");
  std::copy(older.begin(), older.begin() + 512, both.begin());
  return both;
}

TEST(PowerCut, AtAnyMomentOfAWriteOrAnEraseLeavesTheOldMessageOrTheNew) {
  const std::vector<std::uint8_t> old_eeprom = old_and_older_eeprom();
  std::vector<SerialInput> input;
  {
    SimulatedBoard board(firmware_for(Board::kUno), Board::kUno, &old_eeprom);
    const std::string port = board.open_serial_port();
    const CommandResult result =
        run_beside_board(board, std::string(MARQUEE8) + " --send=" + port + " NEW");
    ASSERT_EQ(result.status, 0) << result.output;
    input = board.serial_input();
  }
  OutputSettings no_lead_out;
  const std::vector<unsigned> new_array = expected_array("NEW", no_lead_out);
  const std::vector<unsigned> old_array = message_array("OLD");

  // From power-up, through the erase of "OLDER", the send and its read-back, to the end of the
  // erase of "OLD" (it waits 0.2 s for the reads to stop, and a 512-byte slot takes 0.92 s).
  // Cuts that leave the same bytes come back the same: each is powered up once.
  constexpr std::uint64_t kEraseAfter = 1'300'000 * kCyclesPerMicrosecond;
  std::vector<std::pair<std::uint64_t, std::string>> cuts;
  std::unordered_map<std::string, std::string> outcomes;  // by the EEPROM's bytes
  std::size_t erases_before_send = 0;
  SimulatedBoard board(firmware_for(Board::kUno), Board::kUno, &old_eeprom);
  board.replay_serial_input(input);
  for (std::uint64_t cut = kCutEvery; cut <= input.back().cycle + kEraseAfter; cut += kCutEvery) {
    board.run_until(static_cast<double>(cut) / (kCyclesPerMicrosecond * 1e6));
    if (cut <= input.front().cycle) erases_before_send = board.eeprom_model().operations().erase;
    std::vector<std::uint8_t> eeprom = board.eeprom();
    // A byte cut while it is programmed holds anything.
    if (const auto address = board.eeprom_model().byte_being_programmed()) {
      eeprom[*address] ^= 0x5A;
    }
    const std::string bytes(eeprom.begin(), eeprom.end());
    if (!outcomes.contains(bytes)) {
      outcomes[bytes] = shown_after_power_up(eeprom, old_array, new_array);
    }
    cuts.emplace_back(cut, outcomes[bytes]);
  }
  EXPECT_GT(erases_before_send, 0U) << "\"OLDER\" was not erased";
  // "OLD" was erased, down to its slot's last byte.
  const std::vector<std::uint8_t> last = board.eeprom();
  EXPECT_EQ(std::count(last.begin() + 512, last.end(), 0xFF), 512);

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
