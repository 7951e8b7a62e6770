#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "core_adapter.h"

class QWidget;

namespace marquee8 {

// The modal questions and messages of the window, behind one seam so that tests answer them
// without a dialog on screen.
struct WindowDialogs {
  std::function<void(QWidget* window, const QString& message)> report_failure;
  // A path to save to, offering `name` and the file dialog's `filter`.
  std::function<std::optional<QString>(QWidget* window, const SaveSuggestion& suggested)>
      ask_save_path;
  std::function<std::optional<OutputSettings>(QWidget* window, const OutputSettings& current)>
      ask_array_settings;
  std::function<void(QWidget* window, const QString& title, const QString& text)> inform;
  std::function<std::optional<QString>(QWidget* window)> ask_font_file;
  std::function<std::optional<QString>(QWidget* window, const QStringList& families)>
      ask_installed_font;
  // A whole number from `lowest` to `highest`, starting from `value`.
  std::function<std::optional<int>(QWidget* window, const QString& title, const QString& label,
                                   int value, int lowest, int highest)>
      ask_number;

  // Message boxes, the desktop's file dialogs, Qt's input dialogs and Array Settings.
  static WindowDialogs real();
};

}  // namespace marquee8
