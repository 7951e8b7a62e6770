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
      {"bit 7 at the top read and written so stays as it was",
       {"-d", "--input-msb-top", "--msb-top", "--hex", "-f", "c"},
       msb_hex_c,
       msb_hex_c},
      {"bit 0 at the top written with bit 7 there",
       {"-d", "--msb-top", "--hex", "-f", "c"},
       out_of({"-f", "c", "--hex", "HELLO"}),
       msb_hex_c},
      {"bit 7 at the top written with bit 0 there",
       {"-d", "--input-msb-top"},
       msb_hex_c,
       out_of({"-d"}, classic)},
      {"and its preview stands upright",
       {"-d", "--input-msb-top", "-p"},
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

TEST(Decode, ReadsWhatShellsEditorsAndTerminalsHandIt) {
  const std::string classic = out_of({"HELLO"});
  const std::string values = out_of({"-d"}, classic);
  const struct {
    const char* name;
    std::vector<std::string> arguments;
    std::string in;
  } cases[] = {
      {"a byte-order mark first", {"-d"}, "\xEF\xBB\xBF" + classic},
      {"a lone CR last, as $(marquee8 HELLO) leaves",
       {"-d"},
       classic.substr(0, classic.size() - 1)},
      {"- for standard input", {"-d", "-"}, classic},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(out_of(c.arguments, c.in), values);
  }
  EXPECT_EQ(run_with_stdin({"-d"}, classic).err, "");
  // A user who typed only marquee8 --decode learns what it waits for.
  const CliRun at_terminal = run_at_terminal({"-d", "-"});
  EXPECT_THAT(at_terminal.err,
              HasSubstr("marquee8: reading an array from standard input; end it with Ctrl+D\n"));
}

// A whole sketch or module: the code around the array is passed over.
TEST(Decode, ReadsTheArrayOutOfAWholeSketch) {
  const TemporaryDirectory folder;
  const std::string sketch = (folder.path() / "old.ino").string();
  write_file(folder.path() / "old.ino",
             "#include <LedControl.h>\n"
             "LedControl lc = LedControl(12, 11, 10, 1);\n"
             "const char* greeting = \"byte x[] = {1};\";\n"
             "const byte frame[] PROGMEM = {0, 5, 127};\n"
             "byte blank[2] = {0, 0};\n"
             "void setup() { byte local[] = {9}; lc.shutdown(0, false); }\n"
             "void loop() {}\n");
  const struct {
    std::vector<std::string> arguments;
    int status;
    std::string says;
  } cases[] = {
      {{"-d", "-p", "--name=frame", sketch}, 0, out_of({"-d", "-p"}, "byte a[]={0, 5, 127};")},
      {{"-d", "--name=blank", "-f", "c", sketch},
       0,
       "const uint8_t blank[] = {\n  0, 0\n};\nconst uint16_t slen = 1;\n"},
      {{"-d", sketch}, 1, "line 5, column 1: 2 byte arrays: 'frame' (line 4), 'blank' (line 5)"},
      {{"-d", "--name=local", sketch}, 1, "no byte array named 'local'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments[1]);
    const CliRun run = run_with_stdin(c.arguments, "");
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_THAT(c.status == 0 ? run.out : run.err, HasSubstr(c.says));
  }
  EXPECT_EQ(out_of({"-d", "-p"},
                   "import framebuf\nfrom machine import Pin\n\ndef show():\n"
                   "    pass\n\nmsg = bytes((0, 5, 127))\nshow()\n"),
            out_of({"-d", "-p"}, "byte a[]={0, 5, 127};"));
}

TEST(Decode, MessagesNameWhatTheInputIs) {
  const struct {
    std::string in;
    std::string says;
  } cases[] = {
      {std::string(3, '\0'), "line 1, column 1: not text: it holds the control byte 0x00"},
      {"\x89PNG\r\x1A\n", "line 1, column 6: not text: it holds the control byte 0x1A"},
      {"byte a[]={1};\n\x7F", "line 2, column 1: not text"},
      {"a: bytes = bytes((1,))", "line 1, column 2: expected '=', found ':'"},
      {"std::uint8_t a[]={1};", "line 1, column 1: expected a type before 'std'"},
      // Columns are characters: the é is one, though two bytes.
      {"/* \xC3\xA9 */ byte a[]={300};", "line 1, column 19: 300 is more than a byte holds"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    const CliRun run = run_with_stdin({"-d"}, c.in);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_THAT(run.err, HasSubstr(c.says));
  }
}

}  // namespace
}  // namespace marquee8::testing
