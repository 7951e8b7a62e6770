// The Font menu of the main window: the built-in font, the small installed bitmap fonts, any
// font file or installed family, its size, spacing and vertical offset.
#include <QActionGroup>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>

#include "fonts.h"
#include "main_window.h"
#include "menu_actions.h"
#include "run_progress.h"
#include "setting_ranges.h"
#include "settings_store.h"

namespace marquee8 {

void MainWindow::build_font_menu() {
  QMenu* font = menuBar()->addMenu(tr("Fo&nt"));
  fonts_ = new QActionGroup(this);
  // A file or a family chosen by name has no item of its own.
  fonts_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  const auto pick = [&](const QString& label, const char* name, const FontSettings& settings) {
    QAction* choice = add_action(font, label, name);
    choice->setCheckable(true);
    fonts_->addAction(choice);
    font_picks_.emplace_back(choice, settings);
    connect(choice, &QAction::triggered, this, [this, settings] {
      FontSettings chosen = conversion_.font_settings();
      chosen.font = settings.font;
      chosen.size = settings.size;
      change_font(chosen);
    });
  };
  pick(tr("&Built-in LED Font"), "actionFontBuiltin", FontSettings());
  for (const FontPick& installed : small_bitmap_fonts()) {
    pick(QString::fromStdString(installed.label), "actionFontPick", installed.settings);
  }
  font->addSeparator();
  connect(add_action(font, tr("Font &File…"), "actionFontFile"), &QAction::triggered, this, [this] {
    if (const auto path = dialogs_.ask_font_file(this)) {
      FontSettings chosen = conversion_.font_settings();
      chosen.font = FontSource::file(path->toStdString());
      chosen.size.reset();
      change_font(chosen);
    }
  });
  connect(add_action(font, tr("&Installed Font…"), "actionInstalledFont"), &QAction::triggered,
          this, [this] {
            if (const auto family = dialogs_.ask_installed_font(this, installed_family_names())) {
              FontSettings chosen = conversion_.font_settings();
              chosen.font = FontSource::family(family->toStdString());
              chosen.size.reset();
              change_font(chosen);
            }
          });
  font->addSeparator();
  connect(add_action(font, tr("&Size…"), "actionFontSize"), &QAction::triggered, this, [this] {
    FontSettings chosen = conversion_.font_settings();
    if (const auto size = dialogs_.ask_number(this, tr("Size"), tr("Pixels (0: what fits 8 rows):"),
                                              chosen.size.value_or(0), 0, kFontSizeRange.highest)) {
      chosen.size = *size > 0 ? std::optional<int>(*size) : std::nullopt;
      change_font(chosen);
    }
  });
  QMenu* spacing = font->addMenu(tr("S&pacing"));
  auto* spacings = new QActionGroup(this);
  for (const bool cell : {true, false}) {
    QAction* choice =
        add_action(spacing, cell ? tr("Fixed &6 Columns") : tr("The Font's Own &Widths"),
                   cell ? "actionSpacingCell" : "actionSpacingFont");
    choice->setCheckable(true);
    spacings->addAction(choice);
    (cell ? cell_spacing_ : font_spacing_) = choice;
    connect(choice, &QAction::triggered, this, [this, cell] {
      FontSettings chosen = conversion_.font_settings();
      chosen.cell_spacing = cell;
      change_font(chosen);
    });
  }
  connect(add_action(font, tr("&Vertical Offset…"), "actionVerticalOffset"), &QAction::triggered,
          this, [this] {
            FontSettings chosen = conversion_.font_settings();
            if (const auto offset = dialogs_.ask_number(
                    this, tr("Vertical Offset"), tr("Rows down (negative: up):"), chosen.offset,
                    kOffsetRange.lowest, kOffsetRange.highest)) {
              chosen.offset = *offset;
              change_font(chosen);
            }
          });
}

void MainWindow::show_font() {
  const FontSettings& current = conversion_.font_settings();
  for (const auto& [choice, settings] : font_picks_) {
    choice->setChecked(settings.font == current.font && settings.size == current.size);
  }
  cell_spacing_->setChecked(current.cell_spacing);
  font_spacing_->setChecked(!current.cell_spacing);
  // A file is named by its file name; the whole path is a hover away.
  const QString name = current.font.kind == FontSource::Kind::kBuiltin
                           ? tr("built-in LED font")
                           : QFileInfo(name_of(current.font)).fileName();
  font_in_use_->setText(current.size ? tr("Font: %1, %2 px").arg(name).arg(*current.size)
                                     : tr("Font: %1").arg(name));
  font_in_use_->setToolTip(name_of(current.font));
}

// A font that cannot be used is reported and the one before stays, with what it drew.
void MainWindow::change_font(const FontSettings& settings) {
  if (progress_->running()) return;
  try {
    conversion_.set_font_settings(settings);
  } catch (const std::exception&) {
    dialogs_.report_failure(this, describe_failure(std::current_exception()));
    show_font();
    return;
  }
  store([&](QSettings& to) { save_font_settings(to, settings); });
  show_font();
  redisplay();
}

}  // namespace marquee8
