// Font files as users have them: rewritten while open, compressed, and broken in every way a
// file can be, each refused with its reason in words.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "conversion_error.h"
#include "font_face.h"
#include "run_command.h"
#include "temporary_directory.h"

namespace marquee8 {
namespace {

using ::testing::HasSubstr;

const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/";
const std::string kMisc = "/usr/share/fonts/X11/misc/";

void shell(const std::string& command) {
  const testing::CommandResult result = testing::run_command(command);
  ASSERT_EQ(result.status, 0) << command << ": " << result.output;
}

std::vector<bool> ink_of(const FontFace& font, char32_t code_point) {
  return font.render(font.glyph_index(code_point)).ink;
}

// FreeType maps a font file and reads its glyphs as they are drawn: a file replaced under it
// must neither crash the program nor change the glyphs of the face already open.
TEST(FontFile, AFileRewrittenWhileOpenKeepsItsGlyphs) {
  const testing::TemporaryDirectory folder;
  const std::string font = (folder.path() / "myfont.ttf").string();
  std::filesystem::copy_file(kDejaVu + "DejaVuSans.ttf", font);
  FontFace open = FontFace::from_file(font);
  open.set_pixel_size(12);
  FontFace original = FontFace::from_file(kDejaVu + "DejaVuSans.ttf");
  original.set_pixel_size(12);
  ASSERT_EQ(ink_of(open, U'H'), ink_of(original, U'H'));

  const std::string rewrites[] = {"cp " + kDejaVu + "DejaVuSerif.ttf " + font,
                                  "truncate -s 250k " + font, "truncate -s 0 " + font,
                                  "rm " + font};
  char32_t code_point = U'a';
  for (const std::string& rewrite : rewrites) {
    SCOPED_TRACE(rewrite);
    shell(rewrite);
    // Glyphs not drawn before the rewrite, which a mapped file would read from the new bytes.
    for (const char32_t c : {code_point, static_cast<char32_t>(code_point + 1)}) {
      EXPECT_EQ(ink_of(open, c), ink_of(original, c));
    }
    code_point += 2;
  }
}

TEST(FontFile, AnUnusableFileSaysWhyInWords) {
  const testing::TemporaryDirectory folder;
  const auto path = [&](const char* name) { return (folder.path() / name).string(); };
  const std::string bdf_head =
      "STARTFONT 2.1\nFONT -x-y-Medium-R-Normal--8-80-75-75-C-50-ISO10646-1\nSIZE 8 75 75\n"
      "FONTBOUNDINGBOX 5 8 0 -1\nCHARS 1\n";
  testing::write_file(path("empty.bdf"), "");
  testing::write_file(path("no-startchar.bdf"), bdf_head + "ENCODING 65\nENDFONT\n");
  testing::write_file(path("no-font-line.bdf"), "STARTFONT 2.1\nSIZE 8 75 75\nENDFONT\n");
  testing::write_file(path("cut.bdf"), bdf_head + "STARTCHAR A\nENCODING 65\nBBX 5 8 0 -1\n");
  testing::write_file(path("fake.pcf.gz"), "\x1f\x8b not gzip data at all");
  std::filesystem::create_directory(path("folder.ttf"));
  shell("head -c 1000 " + kDejaVu + "DejaVuSans.ttf > " + path("cut.ttf"));
  shell("gzip -dc " + kMisc + "5x8.pcf.gz | head -c 3000 > " + path("cut.pcf"));
  shell("head -c 20000 " + kMisc + "5x8.pcf.gz > " + path("cut.pcf.gz"));
  // 260 MiB of zeros in a small file: more than any font inflates to.
  shell("head -c 272629760 /dev/zero | gzip -1 > " + path("bomb.pcf.gz"));

  const struct {
    const char* file;
    std::string says;
  } cases[] = {
      {"empty.bdf", "is empty"},
      {"folder.ttf", "is a directory"},
      {"cut.ttf", "is truncated: it is 1000 bytes long"},
      {"cut.pcf", "is truncated: it is 3000 bytes long"},
      {"cut.bdf", "is truncated: it has no ENDFONT line"},
      {"cut.pcf.gz", "is truncated: its gzip data ends early"},
      {"fake.pcf.gz", "is damaged gzip data"},
      {"bomb.pcf.gz", "inflates to more than 256 MiB"},
      {"no-startchar.bdf", "a broken BDF: a glyph does not start with STARTCHAR"},
      {"no-font-line.bdf", "a broken BDF: it has no FONT line"},
      {"missing.ttf",
       "cannot open the font '" + path("missing.ttf") + "': No such file or directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    try {
      FontFace::from_file(path(c.file));
      ADD_FAILURE() << "taken";
    } catch (const ConversionError& error) {
      EXPECT_EQ(error.kind(), ConversionError::Kind::kFontUnusable);
      EXPECT_THAT(error.what(), HasSubstr(c.says));
      EXPECT_THAT(error.what(), HasSubstr("'" + path(c.file) + "'"));
      EXPECT_THAT(error.what(), ::testing::Not(HasSubstr("0x")));
    }
  }
}

}  // namespace
}  // namespace marquee8
