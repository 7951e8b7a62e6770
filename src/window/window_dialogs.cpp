#include "window_dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "array_settings_dialog.h"

namespace marquee8 {

WindowDialogs WindowDialogs::real() {
  return {
      [](QWidget* window, const QString& message) {
        QMessageBox::critical(window, window->windowTitle(), message);
      },
      [](QWidget* window, const SaveSuggestion& suggested) -> std::optional<QString> {
        const QString path = QFileDialog::getSaveFileName(window, QObject::tr("Save Output As"),
                                                          suggested.name, suggested.filter);
        if (path.isEmpty()) return std::nullopt;
        return path;
      },
      [](QWidget* window, const OutputSettings& current) -> std::optional<OutputSettings> {
        ArraySettingsDialog dialog(current, window);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.settings();
      },
      [](QWidget* window, const QString& title, const QString& text) {
        QMessageBox::about(window, title, text);
      },
      [](QWidget* window) -> std::optional<QString> {
        const QString path = QFileDialog::getOpenFileName(
            window, QObject::tr("Font File"), QString(),
            QObject::tr(
                "Fonts (*.bdf *.bdf.gz *.pcf *.pcf.gz *.otb *.ttf *.ttc *.otf);;All files (*)"));
        if (path.isEmpty()) return std::nullopt;
        return path;
      },
      [](QWidget* window, const QStringList& families) -> std::optional<QString> {
        bool chosen = false;
        const QString family =
            QInputDialog::getItem(window, QObject::tr("Installed Font"), QObject::tr("&Family:"),
                                  families, 0, false, &chosen);
        if (!chosen) return std::nullopt;
        return family;
      },
      [](QWidget* window, const QString& title, const QString& label, int value, int lowest,
         int highest) -> std::optional<int> {
        bool chosen = false;
        const int number =
            QInputDialog::getInt(window, title, label, value, lowest, highest, 1, &chosen);
        if (!chosen) return std::nullopt;
        return number;
      },
  };
}

}  // namespace marquee8
