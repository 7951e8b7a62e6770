// --font and its companions as a user meets them: warnings that do not stop the output, fonts
// that cannot be used stopping it before anything is written, and the list of fonts.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli_run.h"
#include "temporary_directory.h"

namespace marquee8::testing {
namespace {

using ::testing::HasSubstr;

TEST(FontOptions, WarningsGoToStandardErrorAndTheOutputIsWritten) {
  const struct {
    std::vector<std::string> arguments;
    std::string warning;
  } cases[] = {
      {{"a\xE4\xB8\xAD"}, "marquee8: warning: missing from the font: '\xE4\xB8\xAD' (U+4E2D)\n"},
      {{"--font=/usr/share/fonts/X11/misc/6x9.pcf.gz", "gy"},
       "marquee8: warning: clipped: ink above row 1 or below row 8: 'g' (U+0067), 'y' (U+0079)\n"},
      {{"--font=DejaVu Sans", "--size=16", "W"}, "wider than their 6 columns"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.back());
    const CliRun run = run_with_stdin(c.arguments, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_THAT(run.out, HasSubstr("int slen="));
    EXPECT_THAT(run.err, HasSubstr(c.warning));
  }
}

TEST(FontOptions, AFontThatCannotBeUsedLeavesTheOutputFileAlone) {
  const TemporaryDirectory folder;
  write_file(folder.path() / "marquee.h", "old");
  write_file(folder.path() / "font.otf", "garbage");
  for (const std::string& font : {(folder.path() / "font.otf").string(), std::string("Nope")}) {
    const CliRun run =
        run_with_stdin({"--font", font, "-o", (folder.path() / "marquee.h").string(), "Hi"}, "");
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr(font));
    EXPECT_EQ(folder.contents(),
              (std::map<std::string, std::string>{{"font.otf", "garbage"}, {"marquee.h", "old"}}));
  }
}

// --size takes pixels, so a size a font lacks is answered with the sizes it has in pixels.
TEST(FontOptions, AMissingSizeNamesTheSizesThereAreInPixels) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--size=8", "HI"},
       "the built-in font has no 8-pixel size; it has 11 pixels. A font's size is its whole line "
       "height, ascent and descent, not the 8 rows it lights: without a size, its tallest that "
       "fits 8 rows is taken\n"},
      {{"--font=/usr/share/fonts/X11/misc/5x8.pcf.gz", "--size=9", "HI"}, "it has 8 pixels. A "},
      {{"--font=Fixed", "--size=11", "HI"}, " pixels. A font's size is its whole line height"},
  };
  for (const auto& [arguments, said] : cases) {
    SCOPED_TRACE(arguments[0]);
    const CliRun run = run_with_stdin(arguments, "");
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, ::testing::HasSubstr(said));
  }
}

// Glyphs with their own advances can make far more columns than 6 a character: the real count
// decides, before anything is written.
TEST(FontOptions, ColumnsPastWhatTheLengthCountsAreRefused) {
  const TemporaryDirectory folder;
  const std::string font = (folder.path() / "wide.bdf").string();
  write_file(font,
             "STARTFONT 2.1\nFONT -test-Wide-Medium-R-Normal--8-80-96-96-C-60-ISO10646-1\n"
             "SIZE 8 96 96\nFONTBOUNDINGBOX 1 8 0 0\nSTARTPROPERTIES 2\nFONT_ASCENT 8\n"
             "FONT_DESCENT 0\nENDPROPERTIES\nCHARS 1\nSTARTCHAR A\nENCODING 65\n"
             "SWIDTH 500 0\nDWIDTH 65535 0\nBBX 1 8 0 0\nBITMAP\n"
             "80\n80\n80\n80\n80\n80\n80\n80\nENDCHAR\nENDFONT\n");
  // 32768 glyphs of 65535 columns and one more column are 2^31 - 32767: with the default
  // lead-in the length can still count them (6 columns a character would allow 357 million
  // characters); one glyph more, or the longest leads, it cannot.
  const struct {
    std::size_t glyphs;
    std::vector<std::string> options;
  } cases[] = {
      {32768, {"--lead-in=65535", "--lead-out=65535"}},
      {32769, {}},
      {32769, {"--preview"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments = {"--font=" + font, "--spacing=font", "-o",
                                          (folder.path() / "out.h").string()};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    SCOPED_TRACE(std::to_string(c.glyphs) + (c.options.empty() ? "" : " " + c.options[0]));
    const CliRun run = run_with_stdin(arguments, std::string(c.glyphs, 'A'));
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("the text is too long"));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "out.h"));
  }
}

TEST(FontOptions, ListFontsShowsTheHiddenBitmapFontsWithTheirSizes) {
  const CliRun run = run_with_stdin({"--list-fonts"}, "");
  EXPECT_EQ(run.status, 0);
  EXPECT_THAT(run.out,
              HasSubstr("Fixed\tRegular\tbitmap 8 px\t/usr/share/fonts/X11/misc/5x8.pcf.gz\n"));
  EXPECT_THAT(run.out, HasSubstr("DejaVu Sans\tBook\toutline\t"));
}

}  // namespace
}  // namespace marquee8::testing
