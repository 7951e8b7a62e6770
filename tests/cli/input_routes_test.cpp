#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_run.h"
#include "error_message.h"

namespace marquee8::testing {
namespace {

const std::vector<Sample> kSamples = {
    {"825710", u"825710"},
    {"", u""},
    {"Hello, marquee!", u"Hello, marquee!"},
    {"\xC3\xA9\xE2\x82\xAC", u"\u00E9\u20AC"},
    {"\xF0\x9F\x98\x80", u"\U0001F600"},
    {" leading and trailing ", u" leading and trailing "},
};

TEST(InputRoutes, TextArgumentAndEveryStdinFormGiveTheSameBytes) {
  for (const auto& [utf8, utf16] : kSamples) {
    SCOPED_TRACE("text: " + utf8);
    const std::string expected = expected_output(utf16);
    std::vector<CliRun> runs = {
        run_with_stdin({utf8}, "ignored when a TEXT is given\n"),
        run_with_stdin({}, utf8 + "\n"),
        run_with_stdin({}, utf8 + "\r\n"),
        run_with_stdin({}, utf8 + "\r"),
        run_with_stdin({}, "\xEF\xBB\xBF" + utf8 + "\r\n"),
    };
    // An input with no byte at all is no text (see Usage.HelpWinsAndAnEmptyInputIsNamed).
    if (!utf8.empty()) runs.push_back(run_with_stdin({}, utf8));
    for (const CliRun& run : runs) {
      EXPECT_EQ(run.status, 0) << run.err;
      EXPECT_EQ(run.out, expected);
      EXPECT_EQ(run.err, runs.front().err) << "the same warnings, if any";
    }
  }
}

TEST(InputRoutes, TerminalStdinConvertsTheDefaultDigits) {
  const CliRun run = run_at_terminal({});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, expected_output(u"825710"));
}

TEST(InputRoutes, TextArgumentWinsOverTerminalDefault) {
  EXPECT_EQ(run_at_terminal({"A"}).out, expected_output(u"A"));
}

TEST(InputRoutes, DoubleDashLetsATextStartWithADash) {
  const CliRun run = run_with_stdin({"--", "-p"}, "");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, expected_output(u"-p"));
}

struct Rejected {
  const char* name;
  std::vector<std::string> arguments;
  std::string stdin_bytes;
  std::size_t offset;
};

void expect_rejected(const std::vector<Rejected>& cases) {
  for (const Rejected& c : cases) {
    SCOPED_TRACE(c.name);
    const CliRun run = run_with_stdin(c.arguments, c.stdin_bytes);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(names_byte_offset(run.err, c.offset));
  }
}

TEST(InputRoutes, LineBreakInsideTheTextIsRejectedAtItsOffset) {
  expect_rejected({
      {"LF inside stdin", {}, "ab\ncd\n", 2},
      {"CR inside stdin", {}, "abc\rd", 3},
      {"second trailing LF", {}, "ab\n\n", 2},
      {"second trailing CR LF", {}, "ab\r\n\r\n", 2},
      {"lone CR, then LF twice", {}, "ab\r\n\n", 2},
      {"line break only", {}, "\n\n", 0},
      {"LF in TEXT", {"a\nb"}, "", 1},
      {"trailing LF in TEXT is not dropped", {"ab\n"}, "", 2},
      {"after a multi-byte character", {"\xC3\xA9\r"}, "", 2},
      {"counted from before a byte-order mark",
       {},
       "\xEF\xBB\xBF"
       "ab\ncd",
       5},
  });
}

TEST(InputRoutes, InvalidUtf8IsRejectedAtItsOffset) {
  expect_rejected({
      {"stray continuation byte", {}, "abc\x80", 3},
      {"byte never valid", {"\xFF"}, "", 0},
      {"truncated sequence at the end", {}, "ab\xC3", 2},
      {"truncated sequence before ASCII", {"a\xE2\x82z"}, "", 1},
      {"overlong slash", {}, "a\xC0\xAF", 1},
      {"encoded surrogate", {"xy\xED\xA0\x80"}, "", 2},
      {"beyond U+10FFFF", {}, "\xF4\x90\x80\x80", 0},
      {"invalid before a line break", {}, "\xFE\n\n", 0},
      {"counted from before a byte-order mark",
       {"\xEF\xBB\xBF"
        "a\xFF"},
       "",
       4},
  });
}

}  // namespace
}  // namespace marquee8::testing
