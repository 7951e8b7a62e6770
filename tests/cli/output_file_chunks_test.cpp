#include <gtest/gtest.h>

#include <map>
#include <string>

#include "output_file.h"
#include "temporary_directory.h"

namespace marquee8::testing {
namespace {

using Contents = std::map<std::string, std::string>;

// The conversion writes in chunks and may stop early: only a commit replaces the file.
TEST(OutputFileChunks, TheFileHoldsEveryChunkOnceCommittedAndIsUntouchedOtherwise) {
  struct Case {
    const char* name;
    bool commit;
    std::string expected;
  };
  for (const Case& c : {Case{"committed", true, "first second"}, Case{"abandoned", false, "old"}}) {
    SCOPED_TRACE(c.name);
    const TemporaryDirectory folder;
    write_file(folder.path() / "out.h", "old");
    {
      OutputFile file((folder.path() / "out.h").string());
      file.write("first ");
      file.write("second");
      if (c.commit) file.commit();
    }
    EXPECT_EQ(folder.contents(), (Contents{{"out.h", c.expected}}));
  }
}

}  // namespace
}  // namespace marquee8::testing
