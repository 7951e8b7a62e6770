#include "record_frames.h"

#include <stdexcept>

#include "simulated_uno.h"

namespace marquee8::testing {
namespace {

constexpr int kCsPin = 2;  // D10 is PB2
// The firmware updates the chain a latch at a time, so between latches the LEDs show part old
// and part new picture. A picture counts as shown once no latch has followed for this long:
// longer than the gap between two latches of one update (8 bytes at simavr's 100 µs each), far
// shorter than the example's 40 ms between steps.
constexpr std::uint32_t kSettleMicroseconds = 5'000;
constexpr double kPatienceSeconds = 1.0;

}  // namespace

Recording record_frames(const std::filesystem::path& firmware, ModuleType type,
                        const std::function<bool(const std::vector<Frame>&)>& enough) {
  SimulatedUno uno(firmware);
  Max7219Chain chain(kModules, type);
  Recording recording;
  const auto shown = [&] {
    recording.fault = chain.fault();
    if (recording.fault.empty()) recording.frames.push_back(chain.frame());
    if (!recording.fault.empty() || enough(recording.frames)) uno.stop();
  };
  uno.on_spi_byte([&](std::uint8_t byte) { chain.shift(byte); });
  bool cs_high = true;  // idle: only a rise from low loads the modules
  uno.on_port_b_pin(kCsPin, [&](bool high) {
    if (high && !cs_high) {
      chain.latch();
      uno.set_alarm(kSettleMicroseconds, shown);
    }
    cs_high = high;
  });

  try {
    while (!uno.stopped()) {
      const std::size_t before = recording.frames.size();
      uno.run_until(uno.simulated_seconds() + kPatienceSeconds);
      if (!uno.stopped() && recording.frames.size() == before) {
        recording.fault = "no new picture for a simulated second";
        break;
      }
    }
  } catch (const std::runtime_error& error) {
    recording.fault = error.what();
  }
  recording.simulated_seconds = uno.simulated_seconds();
  return recording;
}

}  // namespace marquee8::testing
