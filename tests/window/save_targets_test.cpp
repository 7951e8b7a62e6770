// Save Output As onto what is not a regular file: written where it is, as `marquee8 -o` writes
// it, never replaced by a regular file (a root user's /dev/null was once).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/types.h>
#include <unistd.h>

#include <QFile>
#include <filesystem>
#include <iterator>
#include <string>
#include <thread>

#include "temporary_directory.h"
#include "window_under_test.h"

namespace marquee8::window_test {
namespace {

using marquee8::testing::TemporaryDirectory;

struct Target {
  const char* name;
  mode_t type;
  dev_t device;
};
void PrintTo(const Target& row, std::ostream* out) { *out << row.name; }

class SaveOntoANode : public ::testing::TestWithParam<Target> {};

TEST_P(SaveOntoANode, WritesThroughAndLeavesTheNodeAsItWas) {
  const Target& target = GetParam();
  const TemporaryDirectory folder;
  const std::string node = (folder.path() / target.name).string();
  if (::mknod(node.c_str(), target.type | 0666, target.device) != 0) {
    GTEST_SKIP() << "cannot make a " << target.name << " here (a device node needs root)";
  }
  WindowUnderTest form;
  form.click_start();
  const QString regular = QString::fromStdString((folder.path() / "regular.h").string());
  form.answers.save_path = regular;
  form.action("actionSaveOutputAs").trigger();
  QFile expected(regular);
  ASSERT_TRUE(expected.open(QIODevice::ReadOnly));

  // A FIFO's open waits for its reader, as in a shell; the bytes go to the reader.
  QByteArray read;
  std::thread reader;
  if (S_ISFIFO(target.type)) {
    reader = std::thread([&] {
      QFile fifo(QString::fromStdString(node));
      if (fifo.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) read = fifo.readAll();
    });
  }
  form.answers.save_path = QString::fromStdString(node);
  form.action("actionSaveOutputAs").trigger();
  if (reader.joinable()) reader.join();

  EXPECT_TRUE(form.answers.reported.empty()) << form.answers.reported.front().toStdString();
  struct stat after {};
  ASSERT_EQ(::lstat(node.c_str(), &after), 0);
  EXPECT_EQ(after.st_mode & S_IFMT, target.type) << "replaced by another kind of file";
  if (S_ISFIFO(target.type)) {
    EXPECT_EQ(read, expected.readAll());
  }
  const auto entries = std::distance(std::filesystem::directory_iterator(folder.path()), {});
  EXPECT_EQ(entries, 2) << "a temporary file was left behind";
}

INSTANTIATE_TEST_SUITE_P(Nodes, SaveOntoANode,
                         ::testing::Values(Target{"fifo", S_IFIFO, 0},
                                           Target{"null", S_IFCHR, makedev(1, 3)}),
                         [](const ::testing::TestParamInfo<Target>& target) {
                           return std::string(target.param.name);
                         });

}  // namespace
}  // namespace marquee8::window_test
