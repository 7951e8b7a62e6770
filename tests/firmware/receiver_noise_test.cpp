// The receiver keeps scrolling its message at its own pace whatever its serial line carries:
// noise, broken frames and floods of good ones, for as long as they last. The bytes arrive at
// set cycles from a seeded generator, so each run is the same.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "marquee8_protocol.h"
#include "receiver_support.h"
#include "record_frames.h"

namespace marquee8::testing {
namespace {

constexpr double kNoiseFrom = 0.5, kNoiseSeconds = 6.0;
constexpr double kStepSeconds = 0.040;  // the step marquee8 --send gives "OLD"
constexpr double kLinePace = 10.0 / MARQUEE8_BAUD;

// A HELLO, which the board answers with an INFO three times as long.
std::vector<std::uint8_t> hello() {
  const std::uint16_t crc =
      marquee8_crc_add(marquee8_crc_add(MARQUEE8_CRC_START, MARQUEE8_HELLO), 0);
  return {MARQUEE8_FRAME_START, MARQUEE8_HELLO, 0, static_cast<std::uint8_t>(crc & 0xFF),
          static_cast<std::uint8_t>(crc >> 8)};
}

struct Noise {
  std::string name;
  double seconds_apart;  // between two bytes
  // The n-th byte the line carries.
  std::function<std::uint8_t(std::size_t n, std::mt19937& random)> byte;
};
void PrintTo(const Noise& row, std::ostream* out) { *out << row.name; }

std::uint8_t any_byte(std::size_t, std::mt19937& random) {
  return static_cast<std::uint8_t>(random());
}

class LineNoise : public ::testing::TestWithParam<Noise> {};

TEST_P(LineNoise, KeepsTheMessageScrolling) {
  const Noise& row = GetParam();
  std::mt19937 random(23);
  std::vector<SerialInput> input;
  for (std::size_t n = 0; n * row.seconds_apart < kNoiseSeconds; ++n) {
    const double at = kNoiseFrom + static_cast<double>(n) * row.seconds_apart;
    input.push_back({static_cast<std::uint64_t>(at * 16e6), row.byte(n, random)});
  }
  SimulatedBoard board(firmware_for(Board::kUno), Board::kUno, &old_message_eeprom(Board::kUno));
  FrameRecorder recorder(board, ModuleType::kFc16);
  board.replay_serial_input(input);
  board.run_until(kNoiseFrom);

  const Recording recording = recorder.record([&](const std::vector<Frame>&) {
    return board.simulated_seconds() >= kNoiseFrom + kNoiseSeconds;
  });
  EXPECT_EQ(recording.fault, "");
  EXPECT_TRUE(scrolls(recording.frames, message_array("OLD")));
  const auto steps = static_cast<std::size_t>(kNoiseSeconds / kStepSeconds);
  EXPECT_GE(recording.frames.size(), steps - 1);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LineNoise,
    ::testing::Values(Noise{"random_bytes_2000_a_second", 1.0 / 2000, any_byte},
                      Noise{"random_bytes_at_the_lines_pace", kLinePace, any_byte},
                      Noise{"frame_starts_and_random_bytes", 1.0 / 2000,
                            [](std::size_t n, std::mt19937& random) {
                              return n % 4 == 0 ? std::uint8_t{MARQUEE8_FRAME_START}
                                                : any_byte(n, random);
                            }},
                      Noise{"hellos_at_the_lines_pace", kLinePace,
                            [](std::size_t n, std::mt19937&) { return hello()[n % 5]; }},
                      Noise{"frames_broken_off", 0.060,
                            [](std::size_t n, std::mt19937&) {
                              return n % 2 == 0 ? std::uint8_t{MARQUEE8_FRAME_START}
                                                : std::uint8_t{1};
                            }}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace marquee8::testing
