// The example sketch built for an Uno and run on a simulated ATmega328P wired to a simulated
// chain of four MAX7219 modules. Each picture the chain shows must be the next 32 columns of
// the array marquee8 writes, wrapping round at its end; a sketch that gets the wiring, the chain
// or the SPI wrong must not pass.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "example_build.h"
#include "expected_array.h"
#include "record_frames.h"
#include "temporary_directory.h"

namespace marquee8::testing {
namespace {

using ::testing::HasSubstr;

constexpr SketchEdit kGenericModules = {"const ModuleType MODULE_TYPE = FC16;",
                                        "const ModuleType MODULE_TYPE = GENERIC;"};

std::vector<unsigned> progmem_array(std::string_view text, Leads leads) {
  OutputSettings progmem;
  progmem.format = OutputFormat::kProgmem;
  progmem.lead_in = leads.in;
  progmem.lead_out = leads.out;
  return expected_array(text, progmem);
}

// Every step once and two past the wrap, or up to the first picture that is not its step's.
Recording record_steps(const std::filesystem::path& firmware, ModuleType type,
                       const std::vector<unsigned>& array) {
  return record_frames(firmware, type, [&](const std::vector<Frame>& frames) {
    return frames.size() == array.size() + 2 ||
           frames.back() != window_frame(array, frames.size() - 1);
  });
}

// Where the recording strays from the array's windows: the step, what was expected and shown.
std::string first_wrong_picture(const Recording& recording, const std::vector<unsigned>& array) {
  for (std::size_t step = 0; step < recording.frames.size(); ++step) {
    const Frame expected = window_frame(array, step);
    if (recording.frames[step] == expected) continue;
    std::ostringstream text;
    text << "step " << step << ", expected | shown:\n";
    for (std::size_t row = 0; row < expected.size(); ++row) {
      text << expected[row] << " | " << recording.frames[step][row] << '\n';
    }
    return text.str();
  }
  return {};
}

struct Shown {
  std::string name;
  std::string text;
  Leads leads;
  ModuleType type;
};
void PrintTo(const Shown& row, std::ostream* out) { *out << row.name; }

class ExampleSketch : public ::testing::TestWithParam<Shown> {};

TEST_P(ExampleSketch, ShowsTheArrayOneColumnFurtherEachStep) {
  const Shown& row = GetParam();
  const TemporaryDirectory folder;
  std::vector<SketchEdit> edits;
  if (row.type == ModuleType::kGeneric) edits.push_back(kGenericModules);
  const auto firmware = build_example(folder.path(), row.text, row.leads, edits);
  const std::vector<unsigned> array = progmem_array(row.text, row.leads);

  const Recording recording = record_steps(firmware, row.type, array);
  EXPECT_EQ(recording.fault, "");
  EXPECT_EQ(first_wrong_picture(recording, array), "");
  EXPECT_EQ(recording.frames.size(), array.size() + 2);
}

INSTANTIATE_TEST_SUITE_P(
    TextsAndModules, ExampleSketch,
    ::testing::Values(
        Shown{"generic_hello", "HELLO", {8, 32}, ModuleType::kGeneric},
        Shown{"fc16_digits_and_descenders", "825710 gjpqy!", {8, 32}, ModuleType::kFc16},
        Shown{"generic_digits_and_descenders", "825710 gjpqy!", {8, 32}, ModuleType::kGeneric},
        // 13 columns on a 32-column display: every picture wraps round, twice or more.
        Shown{"fc16_shorter_than_the_display", "Hi", {0, 0}, ModuleType::kFc16},
        Shown{"generic_shorter_than_the_display", "Hi", {0, 0}, ModuleType::kGeneric}),
    [](const auto& info) { return info.param.name; });

// The message.h beside the sketch is what the README's command writes, and the sketch as
// shipped, built with the rest of the project, shows it.
TEST(ShippedExample, ShowsTheReadmesMessage) {
  const TemporaryDirectory folder;
  write_message(folder.path() / "message.h", "HELLO", {8, 32});
  std::ostringstream shipped, written;
  shipped << std::ifstream(SHIPPED_MESSAGE).rdbuf();
  written << std::ifstream(folder.path() / "message.h").rdbuf();
  EXPECT_EQ(shipped.str(), written.str());

  const std::vector<unsigned> array = progmem_array("HELLO", {8, 32});
  const Recording recording = record_steps(SHIPPED_FIRMWARE, ModuleType::kFc16, array);
  EXPECT_EQ(recording.fault, "");
  EXPECT_EQ(first_wrong_picture(recording, array), "");
  EXPECT_EQ(recording.frames.size(), array.size() + 2);
}

// The sketch with one deliberate mistake, and how the simulation must reject it.
struct Broken {
  std::string name;
  SketchEdit mistake;
  ModuleType type;
  std::string fault;  // what the chain reports; empty for a wrong picture instead
};
void PrintTo(const Broken& row, std::ostream* out) { *out << row.name; }

class BrokenSketch : public ::testing::TestWithParam<Broken> {};

TEST_P(BrokenSketch, IsRejected) {
  const Broken& row = GetParam();
  const TemporaryDirectory folder;
  std::vector<SketchEdit> edits = {row.mistake};
  if (row.type == ModuleType::kGeneric) edits.push_back(kGenericModules);
  constexpr Leads kNoLeads = {0, 0};  // so that early wrapping shows within 48 steps
  const auto firmware = build_example(folder.path(), "825710 gjpqy!", kNoLeads, edits);
  const std::vector<unsigned> array = progmem_array("825710 gjpqy!", kNoLeads);

  const Recording recording = record_steps(firmware, row.type, array);
  if (row.fault.empty()) {
    EXPECT_EQ(recording.fault, "");
    EXPECT_NE(first_wrong_picture(recording, array), "");
  } else {
    EXPECT_THAT(recording.fault, HasSubstr(row.fault));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Mistakes, BrokenSketch,
    ::testing::Values(Broken{"mirrored_columns",
                             {"value <<= 1;\n        if (*column & row) value |= 1;",
                              "value >>= 1;\n        if (*column & row) value |= 0x80;"},
                             ModuleType::kFc16,
                             ""},
                      Broken{"modules_in_reverse",
                             {"entersLeft_ ? modules_ - 1 - module : module;",
                              "entersLeft_ ? module : modules_ - 1 - module;"},
                             ModuleType::kFc16,
                             ""},
                      Broken{"rows_upside_down",
                             {"if (!columnsReversed) return column;",
                              "if (columnsReversed) return column;"},
                             ModuleType::kGeneric,
                             ""},
                      Broken{"no_wait_for_the_spi_flag",
                             {"loop_until_bit_is_set(SPSR, SPIF);", ""},
                             ModuleType::kFc16,
                             "not one 16-bit word per module"},
                      Broken{"wraps_one_column_early",
                             {"return column == last ? 0 : column + 1;",
                              "return column == last - 1 ? 0 : column + 1;"},
                             ModuleType::kFc16,
                             ""}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace marquee8::testing
