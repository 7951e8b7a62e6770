// The receiver told its modules' wiring at run time: on every wiring and at either end of the
// row, the wizard's answers, picked by comparing its pictures with what the simulated chain's
// LEDs show, configure a board that then scrolls upright, unmirrored and left to right, and
// keeps doing so after a reset. The commands arrive at chosen cycles, so each run is the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <unordered_map>

#include "frames.h"
#include "marquee8_protocol.h"
#include "receiver_support.h"
#include "record_frames.h"
#include "replies.h"
#include "wizard_answers.h"

namespace marquee8::testing {
namespace {

constexpr double kCyclesPerSecond = 16e6;
constexpr std::uint64_t kCyclesPerByte = 16'000'000 / 11'520;  // 10 bits at 115200 baud

// `frame` arriving on the board's serial port from `seconds` on; the last byte's cycle is
// `ends`.
std::vector<SerialInput> arriving(const std::vector<std::uint8_t>& frame, double seconds,
                                  std::uint64_t* ends = nullptr) {
  std::vector<SerialInput> input;
  auto cycle = static_cast<std::uint64_t>(seconds * kCyclesPerSecond);
  for (const std::uint8_t byte : frame) input.push_back({cycle += kCyclesPerByte, byte});
  if (ends != nullptr) *ends = cycle;
  return input;
}

std::vector<std::uint8_t> configure_frame(int wiring, int end, int modules) {
  const std::vector<std::uint8_t> payload{static_cast<std::uint8_t>(wiring),
                                          static_cast<std::uint8_t>(end),
                                          static_cast<std::uint8_t>(modules)};
  return encode_frame(MARQUEE8_CONFIGURE, payload);
}

const std::vector<unsigned>& waiting_text() {
  static const std::vector<unsigned> array = message_array("waiting for a message");
  return array;
}

// The frames the board shows from `after` (seconds) until there are `count` of them.
std::vector<Frame> frames_after(FrameRecorder& recorder, const SimulatedBoard& board, double after,
                                std::size_t count) {
  std::size_t first = 0;
  const Recording recording = recorder.record([&](const std::vector<Frame>& frames) {
    if (board.simulated_seconds() < after) first = frames.size();
    return frames.size() >= first + count;
  });
  EXPECT_EQ(recording.fault, "");
  return {recording.frames.begin() + static_cast<std::ptrdiff_t>(first), recording.frames.end()};
}

class WizardOnEveryWiring : public ::testing::TestWithParam<ModuleType> {};

TEST_P(WizardOnEveryWiring, ItsAnswersMakeTheTextScrollUprightAlsoAfterAReset) {
  const ModuleType chain = GetParam();
  SimulatedBoard board(firmware_for(Board::kUno), Board::kUno);
  FrameRecorder recorder(board, chain);
  std::uint64_t pattern_ends = 0;
  board.replay_serial_input(arriving(
      encode_frame(MARQUEE8_TEST_PATTERN, std::vector<std::uint8_t>{10}), 0.3, &pattern_ends));
  const Frame pattern =
      frames_after(recorder, board, static_cast<double>(pattern_ends) / kCyclesPerSecond, 1)
          .front();

  const WiringWizard wizard(kModules);
  std::size_t lit = 0;
  while (lit < kModules && module_of(pattern, lit) == LedPicture(8, std::string(8, '.'))) ++lit;
  ASSERT_LT(lit, kModules) << "the test pattern lit nothing";
  const int wiring_answer = picked(wizard.wiring_pictures(), module_of(pattern, lit));
  ASSERT_GE(wiring_answer, 0) << "no picture shows the lit module";
  ASSERT_TRUE(wizard.asks_end());
  const int end_answer = picked(wizard.end_pictures(wiring_answer), pattern);
  ASSERT_GE(end_answer, 0) << "no picture shows the row";
  const ModuleLayout layout = wizard.layout(wiring_answer, end_answer);
  EXPECT_EQ(layout, (ModuleLayout{chain.wiring, chain.enters_left, kModules}));

  // Told the answers, the board scrolls its text from the start.
  const double configured = board.simulated_seconds() + 0.01;
  board.replay_serial_input(arriving(
      configure_frame(layout.wiring, layout.first_module_left, layout.modules), configured));
  const std::vector<Frame> scrolled = frames_after(recorder, board, configured + 0.005, 40);
  EXPECT_TRUE(shows_from_start(scrolled, waiting_text()));

  const std::vector<std::uint8_t> eeprom = board.eeprom();
  const Recording after_reset = record_frames(
      firmware_for(Board::kUno), chain,
      [](const std::vector<Frame>& frames) { return frames.size() == 40; }, Board::kUno, &eeprom);
  EXPECT_EQ(after_reset.fault, "");
  EXPECT_TRUE(shows_from_start(after_reset.frames, waiting_text()));
}

std::vector<ModuleType> every_wiring_at_either_end() {
  std::vector<ModuleType> chains;
  for (const bool left : {false, true}) {
    for (int wiring = 0; wiring < kWirings; ++wiring) chains.push_back({wiring, left});
  }
  return chains;
}

INSTANTIATE_TEST_SUITE_P(Chains, WizardOnEveryWiring,
                         ::testing::ValuesIn(every_wiring_at_either_end()), [](const auto& info) {
                           return wiring_name(info.param.wiring) +
                                  (info.param.enters_left ? "_first_left" : "_first_right");
                         });

// What a board with `eeprom` says of its layout when it greets after power-up.
BoardInfo greeting(const std::vector<std::uint8_t>& eeprom) {
  SimulatedBoard board(firmware_for(Board::kUno), Board::kUno, &eeprom);
  std::vector<std::uint8_t> bytes;
  board.on_serial_output([&](std::uint8_t byte) { bytes.push_back(byte); });
  board.run_until(0.1);
  FrameReader reader;
  reader.add(bytes);
  const FrameReader::Result result = reader.next();
  if (!result.frame) throw std::runtime_error("no greeting");
  return read_info(result.frame->payload, "the board");
}

struct BadValue {
  std::string name;
  std::vector<std::uint8_t> frame;
  int error;
};
void PrintTo(const BadValue& row, std::ostream* out) { *out << row.name; }

class RefusedCommand : public ::testing::TestWithParam<BadValue> {};

// A refused CONFIGURE or TEST_PATTERN answers ERROR and leaves the board as it was: its
// layout, what it keeps, and its text scrolling.
TEST_P(RefusedCommand, ChangesNothing) {
  const BadValue& row = GetParam();
  SimulatedBoard first(firmware_for(Board::kUno), Board::kUno);
  first.replay_serial_input(arriving(configure_frame(kGenericWiring, 0, kModules), 0.2));
  first.run_until(0.4);
  const std::vector<std::uint8_t> before = first.eeprom();

  SimulatedBoard board(firmware_for(Board::kUno), Board::kUno, &before);
  FrameRecorder recorder(board, ModuleType::kGeneric);
  std::vector<std::uint8_t> replies;
  board.on_serial_output([&](std::uint8_t byte) { replies.push_back(byte); });
  board.replay_serial_input(arriving(row.frame, 0.3));
  const std::vector<Frame> frames = frames_after(recorder, board, 0, 30);
  EXPECT_TRUE(shows_from_start(frames, waiting_text()));

  FrameReader reader;
  reader.add(replies);
  reader.next();  // the greeting
  const FrameReader::Result reply = reader.next();
  ASSERT_TRUE(reply.frame);
  EXPECT_EQ(reply.frame->type, MARQUEE8_ERROR);
  EXPECT_EQ(reply.frame->payload,
            (std::vector<std::uint8_t>{static_cast<std::uint8_t>(row.error), row.frame[1]}));
  EXPECT_EQ(board.eeprom(), before);
  EXPECT_EQ(greeting(board.eeprom()).layout, (ModuleLayout{kGenericWiring, false, kModules}));
}

std::vector<std::uint8_t> pattern_frame(std::vector<std::uint8_t> payload) {
  return encode_frame(MARQUEE8_TEST_PATTERN, payload);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RefusedCommand,
    ::testing::Values(
        BadValue{"a_ninth_wiring", configure_frame(8, 0, 4), MARQUEE8_ERROR_VALUE},
        BadValue{"a_third_end", configure_frame(4, 2, 4), MARQUEE8_ERROR_VALUE},
        BadValue{"no_modules", configure_frame(4, 0, 0), MARQUEE8_ERROR_VALUE},
        BadValue{"seventeen_modules", configure_frame(4, 0, 17), MARQUEE8_ERROR_VALUE},
        BadValue{"a_short_configure",
                 encode_frame(MARQUEE8_CONFIGURE, std::vector<std::uint8_t>{4, 0}),
                 MARQUEE8_ERROR_PAYLOAD},
        BadValue{"a_pattern_of_no_seconds", pattern_frame({0}), MARQUEE8_ERROR_VALUE},
        BadValue{"a_pattern_over_a_minute", pattern_frame({61}), MARQUEE8_ERROR_VALUE}),
    [](const auto& info) { return info.param.name; });

// A power cut at any moment of a CONFIGURE leaves the layout the board had or the new one.
TEST(LayoutPowerCut, AtAnyMomentLeavesTheOldLayoutOrTheNew) {
  SimulatedBoard first(firmware_for(Board::kUno), Board::kUno, &old_message_eeprom(Board::kUno));
  first.replay_serial_input(arriving(configure_frame(kGenericWiring, 0, 4), 0.2));
  first.run_until(0.4);
  const std::vector<std::uint8_t> old_eeprom = first.eeprom();
  const ModuleLayout old_layout{kGenericWiring, false, 4};
  const ModuleLayout new_layout{7, true, 9};

  SimulatedBoard board(firmware_for(Board::kUno), Board::kUno, &old_eeprom);
  board.replay_serial_input(arriving(configure_frame(7, 1, 9), 0.2));
  std::unordered_map<std::string, ModuleLayout> outcomes;  // by the EEPROM's bytes
  std::size_t olds = 0, news = 0, cuts = 0;
  for (double cut = 0.2; cut < 0.26; cut += 0.0002, ++cuts) {
    board.run_until(cut);
    std::vector<std::uint8_t> eeprom = board.eeprom();
    if (const auto address = board.eeprom_model().byte_being_programmed()) {
      eeprom[*address] ^= 0x5A;  // a byte cut while it is programmed holds anything
    }
    const std::string bytes(eeprom.begin(), eeprom.end());
    if (!outcomes.contains(bytes)) outcomes[bytes] = greeting(eeprom).layout;
    olds += outcomes[bytes] == old_layout;
    news += outcomes[bytes] == new_layout;
  }
  EXPECT_EQ(olds + news, cuts);
  EXPECT_GT(olds, 0U);
  EXPECT_GT(news, 0U);
  EXPECT_GT(outcomes.size(), 4U) << "the cuts did not fall while the layout was written";
  // The message stored before is kept.
  EXPECT_EQ(greeting(board.eeprom()).columns, message_array("OLD").size());
}

}  // namespace
}  // namespace marquee8::testing
