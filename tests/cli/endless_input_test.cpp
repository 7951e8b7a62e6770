// Inputs that never end or are no files, given to the real program: each is refused at once.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "run_command.h"
#include "temporary_directory.h"

namespace marquee8::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

TEST(EndlessInput, IsRefusedAtOnce) {
  const TemporaryDirectory scratch;
  const struct {
    const char* name;
    std::string command;
    std::string says;
  } cases[] = {
      {"zeros", MARQUEE8_PROGRAM " --decode /dev/zero", "line 1, column 1: not text"},
      {"random bytes", MARQUEE8_PROGRAM " --decode < /dev/urandom", "not text"},
      {"an endless array", "yes 1, | " MARQUEE8_PROGRAM " --decode", "the array is too long"},
      {"a FIFO as the font", "mkfifo fifo && " MARQUEE8_PROGRAM " --font=fifo HI",
       "the font 'fifo' is a pipe, not a regular file"},
      {"a pipe as the font",
       MARQUEE8_PROGRAM " --font=<(cat /usr/share/fonts/X11/misc/5x8.pcf.gz) HI",
       "is a pipe, not a regular file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // Killed after a minute: without a bound these read until the memory is gone, or forever.
    const CommandResult run = run_command("cd " + scratch.path().string() +
                                          " && timeout -s KILL 60 bash -c '" + c.command + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.output, StartsWith("marquee8: "));
    EXPECT_THAT(run.output, HasSubstr(c.says));
  }
}

}  // namespace
}  // namespace marquee8::testing
