#include "shown.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "conversion.h"
#include "conversion_error.h"
#include "decode.h"

namespace marquee8 {
namespace {

OutputSettings with(OutputFormat format, int lead_out = 0, bool msb_top = false) {
  OutputSettings settings;
  settings.format = format;
  settings.lead_out = lead_out;
  settings.msb_top = msb_top;
  return settings;
}

// An Uno can spare 1,536 bytes: 254 characters take 6 * 254 + 1 columns, 8 lead in.
TEST(ShowStart, CountsColumnsAndBytesAndTheUnosRam) {
  struct Case {
    std::size_t characters;
    OutputSettings settings;
    std::size_t columns, bytes;
    bool too_big;
  } const cases[] = {
      {6, with(OutputFormat::kClassic), 37, 45, false},
      {254, with(OutputFormat::kClassic, 3), 1525, 1536, false},
      {254, with(OutputFormat::kClassic, 4), 1525, 1537, true},
      {254, with(OutputFormat::kMicroPython, 4), 1525, 1537, false},
      {254, with(OutputFormat::kProgmem, 4), 1525, 1537, false},
      {254, with(OutputFormat::kRaw, 4), 1525, 1537, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.characters) + " characters, lead-out " +
                 std::to_string(c.settings.lead_out));
    Conversion conversion(c.settings);
    const std::u16string text(c.characters, u'8');
    const Shown shown = conversion.start(text, 669, 29);
    EXPECT_EQ(shown.figures.columns, c.columns);
    EXPECT_EQ(shown.figures.array_bytes, c.bytes);
    EXPECT_EQ(shown.array.size(), c.bytes);
    EXPECT_EQ(shown.figures.too_big_for_uno_ram, c.too_big);
  }
}

// The classic array of "825710" begins 0 x 8, 54, 73, 73, 73, 54: raw shows them in hex.
TEST(ShowStart, ListsRawBytesInHex) {
  Conversion conversion(with(OutputFormat::kRaw));
  const Shown shown = conversion.start(u"825710", 669, 29);
  EXPECT_EQ(shown.output.substr(0, 38), "00 00 00 00 00 00 00 00 36 49 49 49 36");
  EXPECT_EQ(shown.output.size(), 45 * 3 - 1);
}

// Read back with bit 7 at the top, 0x01 is the bottom LED; written again in either order, the
// bytes are as the output's order says.
TEST(ShowArray, ReadsTheArraysBitOrderAndWritesTheOutputs) {
  const struct {
    bool output_msb_top;
    const char* output;
  } cases[] = {{true, "01 80 03"}, {false, "80 01 c0"}};
  for (const auto& c : cases) {
    const Shown shown = show_array("frame = bytes((0x01, 0x80, 0x03))\n", {std::nullopt, true},
                                   with(OutputFormat::kRaw, 0, c.output_msb_top), 669, 29);
    EXPECT_EQ(shown.output, c.output);
  }
  const Shown shown = show_array("frame = bytes((0x01, 0x80, 0x03))\n", {std::nullopt, true},
                                 with(OutputFormat::kRaw, 0, true), 669, 29);
  EXPECT_EQ(shown.array, (std::vector<std::uint8_t>{0x80, 0x01, 0xC0}));
  EXPECT_TRUE(shown.canvas.inked(0, 8));
  EXPECT_FALSE(shown.canvas.inked(0, 1));
  EXPECT_TRUE(shown.canvas.inked(1, 1));
  EXPECT_EQ(shown.figures.columns, 3u);
  EXPECT_EQ(shown.figures.array_bytes, 3u);
}

// What cannot be read keeps its reason: the page and the window name it to the user.
TEST(ShowArray, RejectsWhatItCannotRead) {
  const char* const texts[] = {"byte a[]={1,2", "", "byte a[]={1}; byte b[]={2};"};
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    try {
      show_array(text, {}, with(OutputFormat::kClassic), 669, 29);
      ADD_FAILURE() << "no error";
    } catch (const ConversionError& error) {
      EXPECT_EQ(error.kind(), ConversionError::Kind::kUnreadableArray) << error.what();
    }
  }
}

// A long paste reports how far it has read, in both languages, and stops when told.
TEST(ShowArray, ReportsItsReadingAndStopsWhenTold) {
  std::string values;
  for (int i = 0; i < 100'000; ++i) values += "255, ";
  const std::string texts[] = {"byte a[]={" + values + "0};", "a = bytes((" + values + "0))"};
  for (const std::string& text : texts) {
    std::vector<std::size_t> reported;
    const Shown shown = show_array(text, {}, with(OutputFormat::kC), 669, 29,
                                   [&](std::size_t done, std::size_t in_all) {
                                     EXPECT_EQ(in_all, text.size());
                                     reported.push_back(done);
                                     return true;
                                   });
    EXPECT_EQ(shown.array.size(), 100'001u);
    ASSERT_GE(reported.size(), text.size() / (64 * 1024));
    EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end()));
    EXPECT_GT(reported.back(), text.size() - 64 * 1024);

    std::size_t asked = 0;
    EXPECT_THROW(show_array(text, {}, with(OutputFormat::kC), 669, 29,
                            [&](std::size_t, std::size_t) { return ++asked < 2; }),
                 RunCancelled);
    EXPECT_EQ(asked, 2u) << "read on after the stop";
  }
}

// Settings no Conversion would take are refused here too, before a byte is written.
TEST(WriteDecoded, RefusesSettingsThatCannotBeWritten) {
  OutputSettings art_in_raw = with(OutputFormat::kRaw);
  art_in_raw.art = true;
  OutputSettings reserved = with(OutputFormat::kC);
  reserved.array_name = "int";
  const std::vector<std::uint8_t> columns = {1, 2, 3};
  for (const OutputSettings& settings : {art_in_raw, reserved}) {
    StringSink out;
    try {
      write_decoded(columns, settings, out);
      ADD_FAILURE() << "written: " << out.text();
    } catch (const ConversionError& error) {
      EXPECT_EQ(error.kind(), ConversionError::Kind::kInvalidSettings) << error.what();
    }
    EXPECT_EQ(out.text(), "");
  }
}

}  // namespace
}  // namespace marquee8
