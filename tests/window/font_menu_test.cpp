// The Font menu driven as a user drives it, its dialogs answered by the test.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMenu>
#include <filesystem>

#include "canvas_pixels.h"
#include "canvas_size.h"
#include "conversion.h"
#include "font_choice.h"
#include "run_command.h"
#include "temporary_directory.h"
#include "window_under_test.h"

namespace marquee8::window_test {
namespace {

// What the core writes and draws for "825710" with `font`.
struct CoreRun {
  QString output;
  GlyphCanvas canvas{testing::kCanvasWidth, testing::kCanvasHeight};
};

CoreRun core_run(const FontSettings& font) {
  CoreRun run;
  Conversion conversion(ConversionSettings{font, {}});
  Shown shown = conversion.start(u"825710", testing::kCanvasWidth, testing::kCanvasHeight);
  run.output = as_shown(shown.output);
  run.canvas = std::move(shown.canvas);
  return run;
}

using testing::font_choice;

QAction& pick_named(WindowUnderTest& form, const QString& label) {
  for (QAction* action : form.window.findChildren<QAction*>("actionFontPick")) {
    if (action->text() == label) return *action;
  }
  throw std::logic_error("no font pick " + label.toStdString());
}

TEST(FontMenu, EachChoiceRedrawsTheStartedText) {
  const struct {
    const char* name;
    std::function<void(WindowUnderTest&)> choose;
    FontSettings expected;
  } cases[] = {
      {"a quick pick", [](auto& form) { pick_named(form, "Fixed 8 px").trigger(); },
       font_choice("Fixed", 8)},
      {"an installed family",
       [](auto& form) {
         form.answers.installed_font = "DejaVu Sans";
         form.action("actionInstalledFont").trigger();
       },
       font_choice("DejaVu Sans")},
      {"a font file",
       [](auto& form) {
         form.answers.font_file = "/usr/share/fonts/X11/misc/5x7.pcf.gz";
         form.action("actionFontFile").trigger();
       },
       font_choice("/usr/share/fonts/X11/misc/5x7.pcf.gz")},
      {"the font's own widths", [](auto& form) { form.action("actionSpacingFont").trigger(); },
       font_choice("builtin", {}, false)},
      {"an offset",
       [](auto& form) {
         form.answers.number = 1;
         form.action("actionVerticalOffset").trigger();
       },
       font_choice("builtin", {}, true, 1)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WindowUnderTest form;
    form.window.show();
    form.click_start();
    c.choose(form);
    const CoreRun expected = core_run(c.expected);
    EXPECT_EQ(form.txtoutput().toPlainText(), expected.output);
    EXPECT_EQ(first_difference(painted_canvas(form.pic()), expected.canvas), "");
    EXPECT_TRUE(form.answers.reported.empty());
  }
}

TEST(FontMenu, AFontThatFailsLeavesTheFontAndWhatItDrew) {
  const testing::TemporaryDirectory folder;
  testing::write_file(folder.path() / "broken.ttf", "not a font");
  WindowUnderTest form;
  form.window.show();
  form.click_start();
  form.answers.font_file = QString::fromStdString((folder.path() / "broken.ttf").string());
  form.action("actionFontFile").trigger();
  ASSERT_EQ(form.answers.reported.size(), 1u);
  EXPECT_TRUE(form.answers.reported[0].contains("broken.ttf"));
  EXPECT_TRUE(form.action("actionFontBuiltin").isChecked());
  const CoreRun builtin = core_run(FontSettings());
  EXPECT_EQ(form.txtoutput().toPlainText(), builtin.output);
  EXPECT_EQ(first_difference(painted_canvas(form.pic()), builtin.canvas), "");
}

TEST(FontMenu, WarningsShowInTheStatusBar) {
  WindowUnderTest form;
  form.txtinput().setText(QString::fromUtf8("A\xE4\xB8\xAD"));
  form.click_start();
  EXPECT_TRUE(form.summary().text().contains("missing from the font: '中' (U+4E2D)"))
      << form.summary().text().toStdString();
}

// The menu path to `action` as a user reads it, "Font → Spacing → …".
QString menu_path(const QAction& action) {
  QString path = action.text().remove(u'&');
  for (QObject* shown_in = action.associatedObjects().value(0);
       auto* menu = qobject_cast<QMenu*>(shown_in);
       shown_in = menu->menuAction()->associatedObjects().value(0)) {
    if (menu->title().isEmpty()) break;
    path = menu->title().remove(u'&') + QStringLiteral(" → ") + path;
  }
  return path;
}

TEST(FontMenu, AWideFontIsNamedAndItsWarningNamesTheMenuItemThatFixesIt) {
  WindowUnderTest form;
  EXPECT_EQ(form.control<QLabel>("fontInUse").text(), "Font: built-in LED font");
  form.answers.installed_font = "DejaVu Sans";
  form.action("actionInstalledFont").trigger();
  form.answers.number = 16;
  form.action("actionFontSize").trigger();
  EXPECT_EQ(form.control<QLabel>("fontInUse").text(), "Font: DejaVu Sans, 16 px");
  form.txtinput().setText("W");
  form.click_start();
  const QString fix = menu_path(form.action("actionSpacingFont"));
  EXPECT_EQ(fix, "Font → Spacing → The Font's Own Widths");
  EXPECT_TRUE(form.summary().text().contains(fix + " gives each character its own width"))
      << form.summary().text().toStdString();
  form.action("actionSpacingFont").trigger();
  EXPECT_FALSE(form.summary().text().contains(fix)) << "the fix did not fix it";
}

TEST(FontMenu, TheChoicePersists) {
  {
    WindowUnderTest first;
    EXPECT_TRUE(first.action("actionFontBuiltin").isChecked());
    pick_named(first, "Fixed 8 px").trigger();
    first.action("actionSpacingFont").trigger();
  }
  WindowUnderTest next(MainWindow::default_start(), /*keep_stored_settings=*/true);
  EXPECT_TRUE(pick_named(next, "Fixed 8 px").isChecked());
  EXPECT_TRUE(next.action("actionSpacingFont").isChecked());
  next.click_start();
  EXPECT_EQ(next.txtoutput().toPlainText(), core_run(font_choice("Fixed", 8, false)).output);
}

// FreeType read a font file as it drew glyphs: rewritten or cut short under the window, the next
// Start crashed and the typed text was lost.
TEST(FontMenu, AStoredFontFileRewrittenBetweenStartsIsHarmless) {
  const testing::TemporaryDirectory folder;
  const std::string dejavu = "/usr/share/fonts/truetype/dejavu/";
  const std::string font = (folder.path() / "myfont.ttf").string();
  const std::string rewrites[] = {"cp " + dejavu + "DejaVuSerif.ttf " + font,
                                  "truncate -s 250k " + font, "rm " + font};
  // Characters not drawn before each rewrite, so none come from a cache.
  const QString texts[] = {QStringLiteral("Wq&"), QStringLiteral("Mb%"), QStringLiteral("Zk#")};
  for (std::size_t i = 0; i < std::size(rewrites); ++i) {
    SCOPED_TRACE(rewrites[i]);
    std::filesystem::copy_file(dejavu + "DejaVuSans.ttf", font,
                               std::filesystem::copy_options::overwrite_existing);
    StoredSettings forget(/*keep=*/false);
    QSettings(QStringLiteral("marquee8"), QStringLiteral("marquee8"))
        .setValue(QStringLiteral("font/name"), QString::fromStdString(font));
    WindowUnderTest form(MainWindow::default_start(), /*keep_stored_settings=*/true);
    form.click_start();
    ASSERT_EQ(form.txtoutput().toPlainText(),
              core_run(font_choice(dejavu + "DejaVuSans.ttf")).output);

    ASSERT_EQ(testing::run_command(rewrites[i]).status, 0);
    form.txtinput().setText(texts[i]);
    form.click_start();
    EXPECT_EQ(form.txtinput().text(), texts[i]);
    // The glyphs of the font as it was when opened, or a message naming it: nothing else.
    const QString sans = as_shown(
        Conversion(ConversionSettings{font_choice(dejavu + "DejaVuSans.ttf"), {}})
            .start(texts[i].toStdU16String(), testing::kCanvasWidth, testing::kCanvasHeight)
            .output);
    if (form.answers.reported.empty()) {
      EXPECT_EQ(form.txtoutput().toPlainText(), sans);
    } else {
      EXPECT_TRUE(form.answers.reported[0].contains(QString::fromStdString(font)))
          << form.answers.reported[0].toStdString();
    }
  }
}

}  // namespace
}  // namespace marquee8::window_test
