// The window's LED preview and the shipped sketch on the simulated chain show the same picture
// at every step for the same text and settings: the window's own conversion fills its LED strip,
// 32 columns wide, as Start does, and the strip is read LED by LED.
#include <gtest/gtest.h>

#include "core_adapter.h"
#include "led_strip.h"
#include "record_frames.h"

namespace marquee8::testing {
namespace {

TEST(WindowPreview, ShowsWhatTheSimulatedChainShows) {
  // The settings of the README's command that wrote the shipped message.h.
  OutputSettings readme;
  readme.format = OutputFormat::kProgmem;
  readme.lead_out = 32;
  const StartResult result = WindowConversion(readme).start("HELLO");
  LedStrip strip(nullptr);
  strip.set_visible_columns(8 * kModules);
  strip.set_columns(result.array);

  const std::size_t steps = result.array.size() + 2;  // round once, and on past the wrap
  const Recording recording =
      record_frames(SHIPPED_FIRMWARE, ModuleType::kFc16,
                    [&](const std::vector<Frame>& frames) { return frames.size() == steps; });
  ASSERT_EQ(recording.fault, "");
  ASSERT_EQ(recording.frames.size(), steps);
  for (std::size_t step = 0; step < steps; ++step) {
    Frame preview(8, std::string(8 * kModules, '.'));
    for (int row = 0; row < LedStrip::kRows; ++row) {
      for (int column = 0; column < 8 * kModules; ++column) {
        if (strip.lit(row, column)) {
          preview[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = '#';
        }
      }
    }
    EXPECT_EQ(recording.frames[step], preview) << "step " << step;
    strip.advance();
  }
}

}  // namespace
}  // namespace marquee8::testing
