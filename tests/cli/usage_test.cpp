#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_run.h"

namespace marquee8::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

struct UsageCase {
  std::vector<std::string> arguments;
  std::string mentioned;  // what the message must point at
};

TEST(Usage, BadCommandLinesExitWithTwoAndPrintOnlyToErr) {
  const std::vector<UsageCase> cases = {
      {{"--bogus"}, "--bogus"},
      {{"-x", "text"}, "-x"},
      {{"-o"}, "-o"},
      {{"--output"}, "--output"},
      {{"one", "two"}, "one TEXT"},
      {{"-p", "one", "two"}, "one TEXT"},
      {{"--help", "--bogus"}, "--bogus"},
      {{"-f", "pascal"}, "unknown format 'pascal'"},
      {{"--format"}, "--format"},
      {{"--lead-in=8x"}, "--lead-in"},
      {{"--lead-out", "-1"}, "0 to 65535"},
      {{"--lead-in", "65536"}, "0 to 65535"},
      {{"--name", "2fast"}, "not an identifier"},
      {{"--name", "int"}, "reserved word in C"},
      {{"-f", "micropython", "--length-name", "lambda"}, "reserved word in Python"},
      {{"-f", "c", "--name=int8_t"}, "<stdint.h>"},
      {{"-f", "progmem", "--name=PGM_P"}, "<avr/pgmspace.h>"},
      {{"--length-name=__LINE__"}, "starting with _"},
      {{"-f", "micropython", "--length-name=bytearray"}, "the builtin the array is made with"},
      {{"--name", "n", "--length-name", "n"}, "different names"},
      {{"-f", "raw", "--art"}, "ASCII-art"},
      {{"--size", "0"}, "1 to 64 pixels"},
      {{"--size=8px"}, "1 to 64 pixels, not '8px'"},
      {{"--spacing", "wide"}, "cell or font"},
      {{"--offset=-40"}, "-32 to 32 rows"},
  };
  for (const UsageCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    const CliRun run = run_with_stdin(c.arguments, "825710\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_THAT(run.err, StartsWith("marquee8: "));
    EXPECT_THAT(run.err, HasSubstr(c.mentioned));
    EXPECT_THAT(run.err, HasSubstr("Usage: marquee8"));
  }
}

TEST(Usage, HelpAndVersionSucceedWithoutReadingStdin) {
  const std::string version_line = std::string("marquee8 ") + MARQUEE8_VERSION + "\n";
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--help"}, "Usage: marquee8"},
      {{"-h"}, "Usage: marquee8"},
      {{"--version"}, version_line},
      {{"-V"}, version_line},
  };
  for (const auto& [arguments, expected_start] : cases) {
    SCOPED_TRACE(arguments.front());
    const CliRun run = run_with_stdin(arguments, "\xFF not UTF-8 \n\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_THAT(run.out, StartsWith(expected_start));
    EXPECT_EQ(run.err, "");
  }
}

TEST(Usage, HelpDescribesEveryOption) {
  const std::string help = run_with_stdin({"--help"}, "").out;
  for (const char* option : {"--output", "--preview", "--help", "--version", "TEXT"}) {
    EXPECT_THAT(help, HasSubstr(option));
  }
}

}  // namespace
}  // namespace marquee8::testing
