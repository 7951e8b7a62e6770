// --decode: arrays read back and written again, from standard input or a file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_run.h"
#include "temporary_directory.h"

namespace marquee8::testing {
namespace {

using ::testing::HasSubstr;

std::string out_of(const std::vector<std::string>& arguments, const std::string& in = "") {
  const CliRun run = run_with_stdin(arguments, in);
  EXPECT_EQ(run.status, 0) << run.err;
  return run.out;
}

TEST(Decode, WritesTheArrayAgainAsTheOptionsSay) {
  const std::string classic = out_of({"HELLO"});
  const std::string msb_hex_c = out_of({"-f", "c", "--msb-top", "--hex", "HELLO"});
  const struct {
    const char* name;
    std::vector<std::string> decode;
    std::string array;
    std::string expected;
  } cases[] = {
      {"preview shows the lead-in it read",
       {"--decode", "--preview"},
       classic,
       out_of({"--preview", "--lead-in=8", "HELLO"})},
      {"classic becomes progmem",
       {"-d", "-f", "progmem"},
       classic,
       out_of({"-f", "progmem", "HELLO"})},
      {"bit 7 at the top stays as it was",
       {"-d", "--msb-top", "--hex", "-f", "c"},
       msb_hex_c,
       msb_hex_c},
      {"and its preview stands upright",
       {"-d", "--msb-top", "-p"},
       msb_hex_c,
       out_of({"-p", "--lead-in=8", "HELLO"})},
      {"leads are added only when given",
       {"-d", "-f", "c", "--lead-out=32"},
       classic,
       out_of({"-f", "c", "--lead-out=32", "HELLO"})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(out_of(c.decode, c.array), c.expected);
  }
}

TEST(Decode, ReadsAFileAndNamesWhatItCannotRead) {
  const TemporaryDirectory folder;
  write_file(folder.path() / "old.h", "byte a[]={0, B101, 0x7F, 017};\n");
  EXPECT_EQ(out_of({"-d", "-p", (folder.path() / "old.h").string()}),
            out_of({"-d", "-p"}, "byte a[]={0, 5, 127, 15};"));

  const std::string missing = (folder.path() / "missing.h").string();
  const struct {
    std::vector<std::string> arguments;
    std::string in;
    std::string message;
  } failures[] = {
      {{"-d", missing}, "", "cannot read '" + missing + "': No such file or directory"},
      {{"-d"}, "byte a[]={1,\n 2, 300};", "line 2, column 5"},
      {{"-d"}, "", "line 1, column 1"},
  };
  for (const auto& c : failures) {
    const CliRun run = run_with_stdin(c.arguments, c.in);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_THAT(run.err, HasSubstr(c.message));
  }
}

}  // namespace
}  // namespace marquee8::testing
