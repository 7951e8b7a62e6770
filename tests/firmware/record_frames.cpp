#include "record_frames.h"

#include <stdexcept>

namespace marquee8::testing {
namespace {

// The firmware updates the chain a latch at a time, so between latches the LEDs show part old
// and part new picture. A picture counts as shown once no latch has followed for this long:
// longer than the gap between two latches of one update (8 bytes at simavr's 100 µs each), far
// shorter than the example's 40 ms between steps.
constexpr std::uint32_t kSettleMicroseconds = 5'000;
constexpr double kPatienceSeconds = 1.0;

}  // namespace

FrameRecorder::FrameRecorder(SimulatedBoard& board, ModuleType type)
    : board_(board), chain_(kModules, type) {
  const auto shown = [this] {
    if (enough_ == nullptr) return;  // shown while nobody records
    recording_.fault = chain_.fault();
    if (recording_.fault.empty()) recording_.frames.push_back(chain_.frame());
    if (!recording_.fault.empty() || (*enough_)(recording_.frames)) board_.stop();
  };
  board_.on_spi_byte([this](std::uint8_t byte) { chain_.shift(byte); });
  board_.on_chip_select([this, shown](bool high) {
    if (high && !cs_high_) {
      chain_.latch();
      board_.set_alarm(kSettleMicroseconds, shown);
    }
    cs_high_ = high;
  });
}

Recording FrameRecorder::record(const EnoughFrames& enough) {
  recording_ = {};
  enough_ = &enough;
  board_.resume();
  try {
    while (!board_.stopped()) {
      const std::size_t before = recording_.frames.size();
      board_.run_until(board_.simulated_seconds() + kPatienceSeconds);
      if (!board_.stopped() && recording_.frames.size() == before) {
        recording_.fault = "no new picture for a simulated second";
        break;
      }
    }
  } catch (const std::runtime_error& error) {
    recording_.fault = error.what();
  }
  enough_ = nullptr;
  recording_.simulated_seconds = board_.simulated_seconds();
  return std::move(recording_);
}

Frame window_frame(const std::vector<unsigned>& array, std::size_t step) {
  Frame rows(8, std::string(8 * kModules, '.'));
  for (std::size_t x = 0; x < rows[0].size(); ++x) {
    const unsigned column = array[(step + x) % array.size()];
    for (std::size_t row = 0; row < rows.size(); ++row) {
      if ((column >> row) & 1) rows[row][x] = '#';
    }
  }
  return rows;
}

Recording record_frames(const std::filesystem::path& firmware, ModuleType type,
                        const EnoughFrames& enough, Board board,
                        const std::vector<std::uint8_t>* eeprom) {
  SimulatedBoard simulated(firmware, board, eeprom);
  FrameRecorder recorder(simulated, type);
  return recorder.record(enough);
}

}  // namespace marquee8::testing
