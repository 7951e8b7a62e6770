// What the window does with input a careless or hostile user gives it: hand-edited settings, a
// font that has gone, a settings folder or disk that takes nothing, pasted line breaks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QSet>
#include <QSettings>
#include <filesystem>
#include <fstream>

#include "run_command.h"
#include "settings_store.h"
#include "temporary_directory.h"
#include "window_under_test.h"

namespace marquee8::window_test {
namespace {

using marquee8::testing::CommandResult;
using marquee8::testing::run_command;
using marquee8::testing::TemporaryDirectory;
using marquee8::testing::write_file;

// The settings as a hand-edited file holds them.
QSettings settings_file(const TemporaryDirectory& folder, const std::string& ini) {
  const std::filesystem::path file = folder.path() / "marquee8.conf";
  write_file(file, ini);
  return QSettings(QString::fromStdString(file.string()), QSettings::IniFormat);
}

TEST(StoredSettings, EachValueTheDialogsWouldRefuseIsIgnoredAlone) {
  const OutputSettings classic;
  const struct {
    const char* ini;
    OutputSettings expected;
  } cases[] = {
      {"[output]\nleadIn=abc\nhex=true\n", {.hex = true}},
      {"[output]\nleadIn=-1\nleadOut=5\n", {.lead_out = 5}},
      {"[output]\nleadIn=70000\nleadOut=99999999999\nmsbTop=true\n", {.msb_top = true}},
      {"[output]\nformat=pascal\nart=true\n", {.art = true}},
      {"[output]\nformat=c\nhex=maybe\n", {.format = OutputFormat::kC}},
      {"[output]\narrayName=int\nlengthName=n\n", {.length_name = "n"}},
      {"[output]\narrayName=slen\n", classic},  // the length's name already
      {"[output]\nformat=raw\nart=true\nleadIn=3\n", {.format = OutputFormat::kRaw, .lead_in = 3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ini);
    const TemporaryDirectory folder;
    QSettings store = settings_file(folder, c.ini);
    EXPECT_EQ(load_output_settings(store), c.expected);
  }
}

TEST(StoredSettings, FontSizesAndOffsetsOutsideTheDialogsAreIgnored) {
  const struct {
    const char* ini;
    std::optional<int> size;
    bool cell_spacing;
    int offset;
  } cases[] = {
      {"[font]\nsize=30000\noffset=3\n", std::nullopt, true, 3},
      {"[font]\noffset=2147483647\ncellSpacing=false\n", std::nullopt, false, 0},
      {"[font]\noffset=-33\nsize=-8\n", std::nullopt, true, 0},
      {"[font]\nsize=8\noffset=abc\n", 8, true, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ini);
    const TemporaryDirectory folder;
    QSettings store = settings_file(folder, c.ini);
    const FontSettings loaded = load_font_settings(store);
    EXPECT_EQ(loaded.font, FontSource::builtin());
    EXPECT_EQ(loaded.size, c.size);
    EXPECT_EQ(loaded.cell_spacing, c.cell_spacing);
    EXPECT_EQ(loaded.offset, c.offset);
  }
}

// Points the windows made from now on at `folder` for their settings, until this goes.
class SettingsFolder {
 public:
  explicit SettingsFolder(const QString& folder)
      : before_(
            QFileInfo(
                QFileInfo(
                    QSettings(QStringLiteral("marquee8"), QStringLiteral("marquee8")).fileName())
                    .path())
                .path()) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
  }
  ~SettingsFolder() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, before_); }

 private:
  QString before_;
};

TEST(StoredSettings, AStoredFontThatIsGoneIsNamedInTheStatusBar) {
  {
    QSettings store(QStringLiteral("marquee8"), QStringLiteral("marquee8"));
    store.clear();
    store.setValue(QStringLiteral("font/name"), QStringLiteral("/nonexistent/gone.ttf"));
    store.setValue(QStringLiteral("font/offset"), 2);
  }
  WindowUnderTest form(MainWindow::default_start(), /*keep_stored_settings=*/true);
  EXPECT_TRUE(form.summary().text().contains("/nonexistent/gone.ttf"))
      << form.summary().text().toStdString();
  EXPECT_TRUE(form.summary().text().contains("built-in font"));
  EXPECT_TRUE(form.action("actionFontBuiltin").isChecked());
  EXPECT_TRUE(form.answers.reported.empty());
}

TEST(StoredSettings, SettingsThatCannotBeSavedAreToldOnce) {
  const TemporaryDirectory folder;
  // A file where the settings folder should be: no one, root included, can create it.
  write_file(folder.path() / "marquee8", "in the way");
  const SettingsFolder moved(QString::fromStdString(folder.path().string()));
  WindowUnderTest form(MainWindow::default_start(), /*keep_stored_settings=*/true);
  form.action("actionHex").trigger();
  form.action("actionMsbTop").trigger();
  form.action("actionSpacingFont").trigger();
  ASSERT_EQ(form.answers.reported.size(), 1u);
  EXPECT_TRUE(form.answers.reported[0].contains("cannot be saved"))
      << form.answers.reported[0].toStdString();
  EXPECT_TRUE(form.action("actionHex").isChecked()) << "kept for this session";
}

// A file system of its own, mounted for the test and gone with it.
class Mount {
 public:
  explicit Mount(const std::string& options) {
    const CommandResult mounted =
        run_command("mount -t tmpfs -o " + options + " marquee8-test '" + point() + "'");
    if (mounted.status != 0) throw std::runtime_error("cannot mount a tmpfs: " + mounted.output);
  }
  ~Mount() { run_command("umount '" + point() + "'"); }
  std::string point() const { return folder_.path().string(); }

 private:
  TemporaryDirectory folder_;
};
TEST(SaveOutputAs, AFailedSaveSaysTheSaveFailedAndWhyAndKeepsTheOldFile) {
  const struct {
    const char* name;
    const char* mount_options;  // null: no file system of its own
    const char* prepare;        // a shell command run in the folder before saving
    const char* file;
    const char* reason;
    int text_length = 0;  // 0: the classic text
  } cases[] = {
      {"missing folder", nullptr, "true", "absent/marquee.h", "No such file or directory"},
      {"full disk", "size=64k",
       "printf 'old bytes' >old.h && { dd if=/dev/zero of=fill bs=4096 2>/dev/null; true; }",
       "old.h", "No space left on device"},
      {"read-only folder", "size=64k", "true", "marquee.h", "Read-only file system"},
      // The old file and the new one cannot both fit: the space runs out while it is written.
      {"full by the new file", "size=64k", "head -c 20000 /dev/zero | tr '\\0' x >old.h", "old.h",
       "No space left on device", 5000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TemporaryDirectory scratch;
    std::optional<Mount> mount;
    if (c.mount_options != nullptr) mount.emplace(c.mount_options);
    const std::string folder = mount ? mount->point() : scratch.path().string();
    ASSERT_EQ(run_command("cd '" + folder + "' && " + c.prepare).status, 0);
    if (std::string_view(c.name) == "read-only folder") {
      ASSERT_EQ(run_command("mount -o remount,ro '" + folder + "'").status, 0);
    }
    const std::string before = run_command("cat '" + folder + "/" + c.file + "'").output;

    WindowUnderTest form;
    if (c.text_length > 0) form.txtinput().setText(QString(c.text_length, QLatin1Char('W')));
    form.click_start();
    form.answers.save_path = QString::fromStdString(folder + "/" + c.file);
    form.action("actionSaveOutputAs").trigger();
    ASSERT_EQ(form.answers.reported.size(), 1u);
    const QString& told = form.answers.reported[0];
    EXPECT_TRUE(told.contains("not saved")) << told.toStdString();
    EXPECT_FALSE(told.contains("conversion failed")) << told.toStdString();
    EXPECT_TRUE(told.contains(c.file)) << told.toStdString();
    EXPECT_TRUE(told.contains(c.reason)) << told.toStdString();
    EXPECT_EQ(run_command("cat '" + folder + "/" + c.file + "'").output, before);
    EXPECT_EQ(run_command("ls -A '" + folder + "' | grep -c marquee8-").output, "0\n")
        << "a temporary file was left behind";
  }
}

TEST(Input, APastedLineBreakIsRefusedAsTheCommandLineRefusesIt) {
  for (const QString& pasted : {QStringLiteral("AB\nCD"), QStringLiteral("AB\r\nCD")}) {
    SCOPED_TRACE(pasted.toStdString());
    WindowUnderTest form;
    QApplication::clipboard()->setText(pasted);
    form.txtinput().clear();
    form.txtinput().setFocus();
    QTest::keySequence(&form.txtinput(), QKeySequence::Paste);
    form.click_start();
    EXPECT_TRUE(form.summary().text().contains("line break at character 3"))
        << form.summary().text().toStdString();
    EXPECT_EQ(form.txtoutput().toPlainText(), "Text1");
  }
}

TEST(Menus, EveryMenuHasItsOwnAltKey) {
  WindowUnderTest form;
  QSet<QChar> keys;
  for (const QAction* menu : form.window.menuBar()->actions()) {
    const QString text = menu->text();
    const qsizetype amp = text.indexOf(QLatin1Char('&'));
    ASSERT_GE(amp, 0) << text.toStdString();
    const QChar key = text[amp + 1].toLower();
    EXPECT_FALSE(keys.contains(key)) << "Alt+" << QString(key).toStdString() << " twice";
    keys.insert(key);
  }
}

}  // namespace
}  // namespace marquee8::window_test
