#include "window_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include "array_settings_dialog.h"

namespace marquee8 {

WindowDialogs WindowDialogs::real() {
  return {
      [](QWidget* window, const QString& message) {
        QMessageBox::critical(window, window->windowTitle(), message);
      },
      [](QWidget* window) -> std::optional<QString> {
        const QString path = QFileDialog::getSaveFileName(window, QObject::tr("Save Output As"));
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
  };
}

}  // namespace marquee8
