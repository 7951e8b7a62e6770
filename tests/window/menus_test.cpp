// The menu bar and status bar driven as a user drives them: actions triggered, dialogs answered.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFile>
#include <QFontInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextCursor>

#include "array_settings_dialog.h"
#include "output_formats.h"
#include "window_under_test.h"

namespace marquee8::window_test {
namespace {

// A file of tests/window/golden, made by marquee8 and looked at.
QByteArray golden(const QString& name) {
  QFile file(QStringLiteral(GOLDEN_DIR "/") + name);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
  return file.readAll();
}

// What the output box shows for "825710": the text without its final line break, a text box
// keeping CR LF as one break; raw bytes in hex.
QString expected_output(const char* golden_name) {
  return QString::fromLatin1(golden(QStringLiteral("825710.%1.txt").arg(golden_name)));
}

OutputSettings classic() { return {}; }

struct MenuCase {
  const char* golden;                // what the output box must then show
  std::vector<std::string> actions;  // triggered in this order
  OutputFormat checked;              // the format the menu must then tick
};

TEST(Menus, EachOutputChoiceReconvertsTheStartedText) {
  const std::vector<MenuCase> cases = {
      {"progmem", {"actionFormat_progmem"}, OutputFormat::kProgmem},
      {"c", {"actionFormat_c"}, OutputFormat::kC},
      {"micropython", {"actionFormat_micropython"}, OutputFormat::kMicroPython},
      {"raw", {"actionFormat_raw"}, OutputFormat::kRaw},
      {"hex", {"actionHex"}, OutputFormat::kClassic},
      {"msb-top", {"actionMsbTop"}, OutputFormat::kClassic},
      {"art", {"actionArt"}, OutputFormat::kClassic},
      {"classic", {"actionHex", "actionHex"}, OutputFormat::kClassic},
      {"c-hex-art", {"actionFormat_c", "actionHex", "actionArt"}, OutputFormat::kC},
      {"classic", {"actionFormat_progmem", "actionFormat_classic"}, OutputFormat::kClassic},
  };
  for (const MenuCase& c : cases) {
    SCOPED_TRACE(c.golden + (" after " + c.actions.back()));
    WindowUnderTest form;
    form.click_start();
    form.txtinput().setText("typed after Start");  // only Start converts the input box...
    form.txtinput().setText("825710");             // ...so the test puts it back
    for (const std::string& name : c.actions) form.action(name).trigger();
    EXPECT_EQ(form.txtoutput().toPlainText(), expected_output(c.golden));
    const std::string format = "actionFormat_" + std::string(format_description(c.checked).name);
    EXPECT_TRUE(form.action(format).isChecked());
  }
}

TEST(Menus, NothingChangesBeforeTheFirstStart) {
  WindowUnderTest form;
  form.action("actionFormat_progmem").trigger();
  form.action("actionHex").trigger();
  EXPECT_EQ(form.txtoutput().toPlainText(), "Text1");
  EXPECT_FALSE(form.action("actionSaveOutputAs").isEnabled());
  form.click_start();
  EXPECT_EQ(form.txtoutput().toPlainText(), expected_output("progmem-hex"));
}

TEST(Menus, ArraySettingsDialogAnswersReachTheOutput) {
  WindowUnderTest form;
  form.click_start();
  const OutputSettings chosen{
      .lead_in = 32, .lead_out = 32, .array_name = "scroll", .length_name = "scroll_last"};
  form.answers.array_settings = chosen;
  form.action("actionArraySettings").trigger();
  EXPECT_EQ(form.txtoutput().toPlainText(), expected_output("leads-names"));
  EXPECT_EQ(form.summary().text(), QString::fromUtf8("37 columns · 101 bytes"));

  form.answers.array_settings.reset();  // Cancel changes nothing
  form.action("actionArraySettings").trigger();
  EXPECT_EQ(form.txtoutput().toPlainText(), expected_output("leads-names"));
}

TEST(Menus, SettingsThatCannotBeWrittenAreRefusedAndKept) {
  WindowUnderTest form;
  form.action("actionFormat_raw").trigger();
  form.action("actionArt").trigger();
  ASSERT_EQ(form.answers.reported.size(), 1u);
  EXPECT_TRUE(form.answers.reported[0].contains("ASCII-art"))
      << form.answers.reported[0].toStdString();
  EXPECT_FALSE(form.action("actionArt").isChecked());
  EXPECT_TRUE(form.action("actionFormat_raw").isChecked());
}

TEST(StatusBar, CountsColumnsAndBytesAndWarnsWhenRamRunsOut) {
  const struct {
    const char* format;
    int characters;
    QString summary;
  } cases[] = {
      {"actionFormat_classic", 6, QString::fromUtf8("37 columns · 45 bytes")},
      {"actionFormat_classic", 300,
       QString::fromUtf8("1,801 columns · 1,809 bytes · more than the 1,536 bytes an Uno's RAM "
                         "can spare: use the PROGMEM format")},
      {"actionFormat_progmem", 300, QString::fromUtf8("1,801 columns · 1,809 bytes")},
      {"actionFormat_progmem", 5500,
       QString::fromUtf8("33,001 columns · 33,009 bytes · 33,009 bytes: more than the 32,767 "
                         "bytes avr-gcc lets one array have on any AVR board (Uno, Nano, Mega): "
                         "shorten the text, or use the C format on a board of another kind")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.summary.toStdString());
    WindowUnderTest form;
    form.action(c.format).trigger();
    form.txtinput().setText(QString(c.characters, QLatin1Char('8')));
    form.click_start();
    EXPECT_EQ(form.summary().text(), c.summary);
  }
}

// What Save writes is what `marquee8 -o` writes for the same text and settings.
TEST(Menus, SaveOutputAsWritesTheCommandLinesBytes) {
  const QTemporaryDir folder;
  const struct {
    OutputSettings settings;
    const char* golden;
  } cases[] = {
      {classic(), "hi-euro.classic"},
      {{.format = OutputFormat::kRaw}, "hi-euro.raw"},
      {{.format = OutputFormat::kMicroPython, .art = true}, "hi-euro.micropython-art"},
  };
  for (const auto& [settings, golden_name] : cases) {
    WindowUnderTest form;
    form.answers.array_settings = settings;  // the answer carries every setting at once
    form.action("actionArraySettings").trigger();
    form.txtinput().setText(QString::fromUtf8("Hi \xE2\x82\xAC"));
    form.click_start();
    form.answers.save_path = folder.filePath("marquee.h");
    form.action("actionSaveOutputAs").trigger();

    QFile saved(*form.answers.save_path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), golden(QString::fromLatin1(golden_name))) << golden_name;
    EXPECT_TRUE(form.answers.reported.empty());
  }
}

TEST(Menus, SaveIntoAMissingFolderNamesTheFile) {
  const QTemporaryDir folder;
  WindowUnderTest form;
  form.click_start();
  form.answers.save_path = folder.filePath("absent/marquee.h");
  form.action("actionSaveOutputAs").trigger();
  ASSERT_EQ(form.answers.reported.size(), 1u);
  EXPECT_TRUE(form.answers.reported[0].contains("absent/marquee.h"));
}

TEST(Menus, CopyOutputTakesTheWholeOutput) {
  WindowUnderTest form;
  form.txtinput().setText(QString(500, QLatin1Char('W')));
  form.click_start();
  QApplication::clipboard()->clear();
  form.action("actionCopyOutput").trigger();
  EXPECT_EQ(QApplication::clipboard()->text(),
            form.txtoutput().toPlainText().replace(QStringLiteral("\n"), QStringLiteral("\r\n")))
      << "the output's CR LF, not the box's line break";
}

TEST(Menus, CopyAndSaveGiveTheSameOutputAfterAnEditByHand) {
  const QTemporaryDir folder;
  WindowUnderTest form;
  form.click_start();
  form.txtoutput().moveCursor(QTextCursor::End);
  QTest::keyClicks(&form.txtoutput(), "// mine");
  form.action("actionCopyOutput").trigger();
  form.answers.save_path = folder.filePath("marquee.h");
  form.action("actionSaveOutputAs").trigger();
  QFile saved(*form.answers.save_path);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_EQ(QApplication::clipboard()->text().toUtf8() + "\r\n", saved.readAll());
  EXPECT_TRUE(form.window.statusBar()->currentMessage().contains("Edited by hand"));
}

TEST(Menus, SaveOffersANameAndAFilterForTheFormat) {
  const struct {
    const char* format;
    const char* name;
    const char* filter;
  } cases[] = {{"actionFormat_classic", "marquee8.h", "C header (*.h);;All files (*)"},
               {"actionFormat_micropython", "marquee8.py", "MicroPython source (*.py);;"},
               {"actionFormat_raw", "marquee8.bin", "Raw bytes (*.bin);;"}};
  for (const auto& c : cases) {
    WindowUnderTest form;
    form.action(c.format).trigger();
    form.click_start();
    form.action("actionSaveOutputAs").trigger();
    ASSERT_TRUE(form.answers.save_suggested) << c.format;
    EXPECT_EQ(form.answers.save_suggested->name, c.name);
    EXPECT_TRUE(form.answers.save_suggested->filter.startsWith(c.filter))
        << form.answers.save_suggested->filter.toStdString();
  }
}

TEST(Menus, TheAsciiArtIsShownInAFixedPitchFont) {
  WindowUnderTest form;
  form.action("actionArt").trigger();
  form.click_start();
  EXPECT_TRUE(QFontInfo(form.txtoutput().font()).fixedPitch());
  form.action("actionArt").trigger();
  EXPECT_FALSE(form.txtoutput().testAttribute(Qt::WA_SetFont)) << "back to the form's font";
}

TEST(Menus, ChoicesPersistButTheFirstStartIsClassic) {
  {
    WindowUnderTest first;
    EXPECT_TRUE(first.action("actionFormat_classic").isChecked());
    EXPECT_FALSE(first.action("actionHex").isChecked());
    first.action("actionFormat_micropython").trigger();
    first.action("actionMsbTop").trigger();
  }
  WindowUnderTest next(MainWindow::default_start(), /*keep_stored_settings=*/true);
  EXPECT_TRUE(next.action("actionFormat_micropython").isChecked());
  EXPECT_TRUE(next.action("actionMsbTop").isChecked());
  EXPECT_EQ(next.txtinput().text(), "825710") << "the input text is not kept";
  EXPECT_EQ(next.txtoutput().toPlainText(), "Text1");
  next.click_start();
  EXPECT_EQ(next.txtoutput().toPlainText(), expected_output("micropython-msb-top"));
}

TEST(Menus, AboutNamesTheVersionAndLicence) {
  WindowUnderTest form;
  form.action("actionAbout").trigger();
  ASSERT_EQ(form.answers.informed.size(), 1u);
  EXPECT_TRUE(form.answers.informed[0].contains(MARQUEE8_VERSION));
  EXPECT_TRUE(form.answers.informed[0].contains("MIT"));
}

}  // namespace
}  // namespace marquee8::window_test

namespace marquee8::window_test {
namespace {

TEST(ArraySettingsDialog, AcceptsOnlyWhatTheCommandLineAccepts) {
  const struct {
    const char* array_name;
    const char* length_name;
    const char* problem;  // empty: OK is enabled
  } cases[] = {{"scroll", "scroll_last", ""},
               {"2fast", "slen", "not an identifier"},
               {"int", "slen", "reserved word"},
               {"same", "same", "different names"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.array_name);
    ArraySettingsDialog dialog({.format = OutputFormat::kC}, nullptr);
    dialog.findChild<QSpinBox*>("leadOut")->setValue(32);
    dialog.findChild<QLineEdit*>("arrayName")->setText(c.array_name);
    dialog.findChild<QLineEdit*>("lengthName")->setText(c.length_name);
    const QString problem = dialog.findChild<QLabel*>("problem")->text();
    const bool ok =
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled();
    EXPECT_EQ(ok, *c.problem == '\0');
    EXPECT_TRUE(problem.contains(c.problem)) << problem.toStdString();
    if (ok) {
      const OutputSettings chosen = dialog.settings();
      EXPECT_EQ(chosen, (OutputSettings{.format = OutputFormat::kC,
                                        .lead_out = 32,
                                        .array_name = c.array_name,
                                        .length_name = c.length_name}));
    }
  }
}

TEST(ArraySettingsDialog, AProblemIsShownWhole) {
  ArraySettingsDialog dialog({}, nullptr);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  dialog.findChild<QLineEdit*>("arrayName")->setText("int");
  QApplication::processEvents();
  const QLabel& problem = *dialog.findChild<QLabel*>("problem");
  EXPECT_GE(problem.height(), problem.heightForWidth(problem.width())) << "lines cut off";
  EXPECT_TRUE(dialog.rect().contains(problem.geometry()));
}

}  // namespace
}  // namespace marquee8::window_test
