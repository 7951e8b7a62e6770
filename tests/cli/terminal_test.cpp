// What reaches a terminal: never raw bytes, and no character that splits or reorders a line.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "cli_run.h"
#include "temporary_directory.h"
#include "terminal_text.h"

namespace marquee8::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

TEST(TerminalText, EscapesWhatWouldSplitOrReorderTheLine) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"plain Latin é, 中文", "plain Latin é, 中文"},
      {"a\nb\r", "aU+000AbU+000D"},
      {"\t\x1B[31m\x7F", "U+0009U+001B[31mU+007F"},
      {"\xC2\x85", "U+0085"},  // NEXT LINE
      {"\xE2\x80\xA8\xE2\x80\xA9", "U+2028U+2029"},
      {"x\xE2\x80\xAEy", "xU+202Ey"},  // RIGHT-TO-LEFT OVERRIDE
      {"\xE2\x80\x8F\xE2\x81\xA6\xD8\x9C", "U+200FU+2066U+061C"},
      {"\xFF\xE2\x80", "\\xFF\\xE2\\x80"},
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(terminal_safe(text), shown);
}

TEST(TerminalText, MessagesAndWarningsStayOneLineEach) {
  const struct {
    std::vector<std::string> arguments;
    int status;
    std::string said;
  } cases[] = {
      {{"--name=a\nb"}, 2, "marquee8: the array name 'aU+000Ab' is not an identifier"},
      {{"--font=No\xE2\x80\xA8such"}, 1, "NoU+2028such"},
      {{"A\xE2\x80\xAE"}, 0, "marquee8: warning: missing from the font: 'U+202E' (U+202E)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.said);
    const CliRun run = run_with_stdin(c.arguments, "HI\n");
    EXPECT_EQ(run.status, c.status);
    EXPECT_THAT(run.err, HasSubstr(c.said));
    EXPECT_THAT(run.err, Not(HasSubstr("\xE2\x80")));
    const std::string first_line = run.err.substr(0, run.err.find('\n'));
    EXPECT_THAT(first_line, HasSubstr(c.said.substr(0, c.said.find('\n'))));
  }
}

struct TerminalRun {
  int status;
  std::string shown;  // everything the program wrote to its terminal
};

// Runs the real program with a pseudo-terminal as its standard streams and its /dev/tty.
TerminalRun run_on_terminal(const std::vector<std::string>& arguments) {
  int terminal = -1;
  const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
  if (child == 0) {
    std::vector<char*> argv{const_cast<char*>(MARQUEE8_PROGRAM)};
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(MARQUEE8_PROGRAM, argv.data());
    ::_exit(127);
  }
  TerminalRun run{-1, ""};
  if (child < 0) return run;
  char buffer[4096];
  for (ssize_t got; (got = ::read(terminal, buffer, sizeof buffer)) != 0;) {
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) break;  // EIO: the program has gone and the terminal with it
    run.shown.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(terminal);
  int status = 0;
  ::waitpid(child, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

TEST(Terminal, RawBytesAreRefusedWhereverTheyWouldLandOnIt) {
  const TemporaryDirectory folder;
  const std::string array = (folder.path() / "array.h").string();
  write_file(array, "byte a[]={0, 127, 8, 127, 0};\n");
  const std::vector<std::vector<std::string>> cases = {
      {"-f", "raw", "HI"},
      {"-f", "raw", "-o", "/dev/stdout", "HI"},
      {"-f", "raw", "-o", "/dev/tty", "HI"},
      {"-f", "raw", "-o", "/dev/fd/1", "HI"},
      {"-f", "raw", "-o", "/dev/stderr", "HI"},
      {"--decode", "-f", "raw", "-o", "/dev/tty", array},
  };
  for (const auto& arguments : cases) {
    SCOPED_TRACE(::testing::PrintToString(arguments));
    const TerminalRun run = run_on_terminal(arguments);
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.shown, HasSubstr("raw bytes would garble the terminal"));
    EXPECT_EQ(run.shown.find('\0'), std::string::npos);
  }
  // Off the terminal they are written, whatever the program's own streams are.
  const std::string file = (folder.path() / "raw.bin").string();
  EXPECT_EQ(run_on_terminal({"-f", "raw", "-o", file, "HI"}).status, 0);
  EXPECT_EQ(folder.contents().at("raw.bin").size(), 21u);  // 8 lead-in columns and 6 x 2 + 1
}

}  // namespace
}  // namespace marquee8::testing
