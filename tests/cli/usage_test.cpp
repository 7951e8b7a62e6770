#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_run.h"
#include "temporary_directory.h"

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
      // Every number of every option: malformed and out of range, named with its value.
      {{"--lead-in=-1"}, "'--lead-in' needs 0 to 65535 columns: '-1' is out of range"},
      {{"--lead-in=99999999999999999999"}, "'99999999999999999999' is out of range"},
      {{"--lead-out=-99999999999999999999"}, "'-99999999999999999999' is out of range"},
      {{"--lead-out", "abc"}, "'--lead-out' needs a whole number from 0 to 65535 columns"},
      {{"--lead-in="}, "not ''"},
      {{"--lead-in= 3"}, "not ' 3'"},
      {{"--lead-in=0x10"}, "not '0x10'"},
      {{"--size=65"}, "'--size' needs 1 to 64 pixels: '65' is out of range"},
      {{"--size=4294967304"}, "'4294967304' is out of range"},
      {{"--offset=33"}, "'--offset' needs -32 to 32 rows: '33' is out of range"},
      {{"--offset=+-1"}, "not '+-1'"},
      {{"--offset=1.5"}, "not '1.5'"},
      // What getopt_long tells apart, told apart.
      {{"--le=5"},
       "'--le=5' is ambiguous; possibilities: '--lead-in' '--lead-out' '--length-name'"},
      {{"--help=x"}, "option '--help' takes no value"},
      {{"--hex=yes"}, "option '--hex' takes no value"},
      {{"--lead-outs=3"}, "unknown option '--lead-outs=3'"},
      // Options that would be ignored, each named with the command that would ignore it.
      {{"--decode", "--font=/nonexistent"},
       "options '--font' and '--decode' do not go together: --font draws a text"},
      {{"-d", "--size=8"}, "'--size' and '--decode' do not go together"},
      {{"--spacing=font", "--decode"}, "'--spacing' and '--decode'"},
      {{"--decode", "--offset=1", "in.h"}, "'--offset' and '--decode'"},
      {{"--list-fonts", "TEXT"}, "--list-fonts takes no TEXT or FILE, not 'TEXT'"},
      {{"--list-ports", "TEXT"}, "--list-ports takes no TEXT or FILE, not 'TEXT'"},
      {{"--receive=P", "TEXT"}, "--receive takes no TEXT or FILE, not 'TEXT'"},
      {{"--send=P", "-o", "x.h", "HI"}, "'-o' and '--send' do not go together"},
      {{"--send=P", "-p", "HI"}, "'-p' and '--send'"},
      {{"--send=P", "-f", "progmem", "HI"}, "'-f' and '--send'"},
      {{"--send=P", "--msb-top", "HI"}, "'--msb-top' and '--send'"},
      {{"--send=P", "--name=m", "HI"}, "'--name' and '--send'"},
      {{"--list-fonts", "--send=P"}, "'--list-fonts' and '--send' are two commands"},
      {{"--send=P", "--receive=P", "HI"}, "'--send' and '--receive' are two commands"},
      {{"--decode", "--send=P", "FILE"}, "'-d' and '--send' are two commands"},
      {{"--receive=P", "--decode"}, "'--receive' and '-d' are two commands"},
      {{"--list-ports", "--list-fonts"}, "two commands: choose one"},
      {{"--step=30", "HI"}, "option '--step' goes with --send"},
      {{"--brightness=3", "HI"}, "option '--brightness' goes with --send"},
      {{"-d", "--step=30"}, "'--step' and '--decode'"},
      {{"--receive=P", "--brightness=3"}, "'--brightness' and '--receive'"},
      {{"--receive=P", "--font=builtin"}, "'--font' and '--receive'"},
      {{"--input-msb-top", "HI"}, "option '--input-msb-top' goes with --decode"},
      {{"--receive=P", "--input-msb-top"}, "'--input-msb-top' and '--receive'"},
      {{"--list-ports", "-p"}, "'-p' and '--list-ports'"},
      {{"--list-fonts", "--hex"}, "'--hex' and '--list-fonts'"},
      {{"--send"}, "--send"},
      {{"--receive"}, "--receive"},
      {{"--send=", "HI"}, "option '--send' needs the board's serial port"},
      {{"--receive="}, "option '--receive' needs the board's serial port"},
      {{"--send=/dev/ttyACM0", "--brightness=16"}, "0 to 15 levels"},
      {{"--send=/dev/ttyACM0", "--step=0"}, "1 to 65535 ms"},
      {{"--board=uno", "HI"}, "option '--board' goes with --install-receiver"},
      {{"--install-receiver=P", "--board=due"}, "one of uno, nano, nano-old, mega, not 'due'"},
      {{"--install-receiver=P", "--step=30"}, "'--step' and '--install-receiver'"},
      {{"--install-receiver=P", "HI"}, "--install-receiver takes no TEXT or FILE, not 'HI'"},
      {{"--install-receiver="}, "option '--install-receiver' needs the board's serial port"},
      {{"--send=P", "--install-receiver=P"}, "'--send' and '--install-receiver' are two commands"},
      // The wiring names: MD_MAX72XX's, in any case; a wrong one lists them all.
      {{"--configure=P", "--wiring=FC-16"},
       "option '--wiring': no wiring is called 'FC-16': the wirings are FC16, GENERIC, PAROLA, "
       "ICSTATION, DR0CR0RR0, DR0CR0RR1, DR0CR1RR0, DR0CR1RR1, DR1CR0RR0, DR1CR0RR1, DR1CR1RR0, "
       "DR1CR1RR1"},
      {{"--configure=P", "--wiring=DR2CR0RR0"}, "no wiring is called 'DR2CR0RR0'"},
      {{"--configure=P", "--modules=17"},
       "'--modules' needs 1 to 16 modules: '17' is out of range"},
      {{"--configure=P", "--modules=0"}, "'0' is out of range"},
      {{"--configure=P", "--first-module=top"}, "'right' or the 'left' end of the row, not 'top'"},
      {{"--configure=P"}, "'--configure' needs --wiring, --modules or --first-module"},
      {{"--configure=P", "HI", "--wiring=fc16"}, "--configure takes no TEXT or FILE, not 'HI'"},
      {{"--wiring=fc16", "HI"}, "option '--wiring' goes with --configure"},
      {{"--find-wiring=P", "--wiring=fc16"}, "'--wiring' and '--find-wiring'"},
      {{"--find-wiring=P", "--configure=P"}, "'--find-wiring' and '--configure' are two commands"},
      {{"--send=P", "--modules=4"}, "'--modules' and '--send'"},
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

// strtol's spelling of a positive number reads as the number does.
TEST(Usage, APlusSignedNumberIsTheNumber) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"--offset=+1", "--offset=1"},
      {"--lead-in=+3", "--lead-in=3"},
      {"--size=+11", "--size=11"},
  };
  for (const auto& [plus, plain] : cases) {
    SCOPED_TRACE(plus);
    const CliRun signed_run = run_with_stdin({plus, "HI"}, "");
    EXPECT_EQ(signed_run.status, 0) << signed_run.err;
    EXPECT_EQ(signed_run.out, run_with_stdin({plain, "HI"}, "").out);
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

// -o takes whatever the run prints, the help, the version and the font list too.
TEST(Usage, OutputFileTakesHelpVersionAndTheFontList) {
  const TemporaryDirectory folder;
  const std::string file = (folder.path() / "out.txt").string();
  for (const char* option : {"--help", "--version", "--list-fonts"}) {
    SCOPED_TRACE(option);
    const CliRun printed = run_with_stdin({option}, "");
    const CliRun written = run_with_stdin({option, "-o", file}, "");
    EXPECT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(written.out, "");
    EXPECT_FALSE(printed.out.empty());
    EXPECT_EQ(folder.contents().at("out.txt"), printed.out);
  }
}

TEST(Usage, HelpDescribesEveryOption) {
  const std::string help = run_with_stdin({"--help"}, "").out;
  for (const char* option : {"--output", "--preview", "--help", "--version", "TEXT"}) {
    EXPECT_THAT(help, HasSubstr(option));
  }
}

// --help says which options describe the input and which the output, with examples that run.
TEST(Usage, HelpGroupsTheOptionsAndItsExamplesRun) {
  const std::string help = run_with_stdin({"--help"}, "").out;
  for (const char* heading :
       {"\nCommands (", "\nInput options, how TEXT is drawn", "\nInput options, the array read",
        "\nOutput options (", "\nBoard options (", "\nExamples:\n"}) {
    EXPECT_THAT(help, HasSubstr(heading));
  }
  EXPECT_LT(help.find("--input-msb-top"), help.find("Output options"));
  EXPECT_GT(help.find("      --msb-top"), help.find("Output options"));
}

// Help and version answer whatever else is given, and an empty standard input is named.
TEST(Usage, HelpWinsAndAnEmptyInputIsNamed) {
  EXPECT_EQ(run_with_stdin({"--send=P", "-o", "x.h", "--help"}, "").status, 0);
  const CliRun empty = run_with_stdin({}, "");
  EXPECT_EQ(empty.status, 1);
  EXPECT_EQ(empty.out, "");
  EXPECT_THAT(empty.err, HasSubstr("standard input is empty: give a TEXT"));
  const CliRun empty_line = run_with_stdin({}, "\n");
  EXPECT_EQ(empty_line.status, 0) << "an empty line is an empty message";
  EXPECT_THAT(empty_line.out, ::testing::StartsWith("byte a[]={0,0,0,0,0,0,0,0, 0};"));
}

}  // namespace
}  // namespace marquee8::testing
