#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "cli_run.h"
#include "temporary_directory.h"

namespace marquee8::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using Contents = std::map<std::string, std::string>;

TEST(OutputFile, EveryOptionSpellingWritesWhatStdoutWould) {
  const std::string expected = expected_output(u"825710");
  const std::vector<std::function<std::vector<std::string>(const std::string&)>> spellings = {
      [](const std::string& file) {
        return std::vector<std::string>{"-o", file, "825710"};
      },
      [](const std::string& file) {
        return std::vector<std::string>{"825710", "--output", file};
      },
      [](const std::string& file) { return std::vector<std::string>{"--output=" + file}; },
      [](const std::string& file) { return std::vector<std::string>{"-o" + file}; },
  };
  for (const auto& spelling : spellings) {
    const TemporaryDirectory folder;
    const fs::path file = folder.path() / "marquee.h";
    const CliRun run = run_with_stdin(spelling(file.string()), "825710\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(folder.contents(), (Contents{{"marquee.h", expected}}));
  }
}

TEST(OutputFile, ReplacesAnExistingFileAndKeepsItsPermissions) {
  const TemporaryDirectory folder;
  const fs::path file = folder.path() / "marquee.h";
  write_file(file, std::string(5000, 'x'));  // longer than the result: no stale tail may remain
  ASSERT_EQ(::chmod(file.c_str(), 0640), 0);

  const CliRun run = run_with_stdin({"-o", file.string(), "Hi"}, "");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(folder.contents(), (Contents{{"marquee.h", expected_output(u"Hi")}}));
  EXPECT_EQ(fs::status(file).permissions(), fs::perms(0640));
}

// Sets the process umask for one scope.
class ScopedUmask {
 public:
  explicit ScopedUmask(mode_t mask) : previous_(::umask(mask)) {}
  ScopedUmask(const ScopedUmask&) = delete;
  ScopedUmask& operator=(const ScopedUmask&) = delete;
  ~ScopedUmask() { ::umask(previous_); }

 private:
  mode_t previous_;
};

TEST(OutputFile, NewFileGetsWhatTheUmaskAllows) {
  const TemporaryDirectory folder;
  const fs::path file = folder.path() / "marquee.h";
  const ScopedUmask mask(027);
  ASSERT_EQ(run_with_stdin({"-o", file.string(), "Hi"}, "").status, 0);
  EXPECT_EQ(fs::status(file).permissions(), fs::perms(0640));
}

const std::string kOldContent = "byte a[]={0,0,0,0,0,0,0,0, 1};\r\nint slen= 8;";

fs::path existing_file(const fs::path& folder) {
  write_file(folder / "marquee.h", kOldContent);
  return folder / "marquee.h";
}

struct Failure {
  const char* name;
  std::function<fs::path(const fs::path& folder)> prepare;  // returns the FILE to write
  std::string text;
  std::string message;  // empty: the message must name the file
};

TEST(OutputFile, FailureLeavesTheFolderAsItWas) {
  const std::vector<Failure> cases = {
      {"invalid UTF-8", existing_file, "ab\xFF", "invalid UTF-8"},
      {"line break", existing_file, "a\nb", "line break"},
      {"missing folder", [](const fs::path& folder) { return folder / "absent" / "marquee.h"; },
       "825710", ""},
      {"FILE is a folder",
       [](const fs::path& folder) {
         fs::create_directory(folder / "marquee.h");
         write_file(folder / "marquee.h" / "inside", kOldContent);
         return folder / "marquee.h";
       },
       "825710", ""},
  };
  for (const Failure& c : cases) {
    SCOPED_TRACE(c.name);
    const TemporaryDirectory folder;
    const fs::path file = c.prepare(folder.path());
    const Contents before = folder.contents();

    const CliRun run = run_with_stdin({"-o", file.string(), c.text}, "");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_THAT(run.err, StartsWith("marquee8: "));
    EXPECT_THAT(run.err, HasSubstr(c.message.empty() ? file.string() : c.message));
    EXPECT_EQ(folder.contents(), before);
  }
}

}  // namespace
}  // namespace marquee8::testing
