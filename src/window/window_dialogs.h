#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "core_adapter.h"

class QWidget;

namespace marquee8 {

// The modal questions and messages of the window, behind one seam so that tests answer them
// without a dialog on screen.
struct WindowDialogs {
  std::function<void(QWidget* window, const QString& message)> report_failure;
  std::function<std::optional<QString>(QWidget* window)> ask_save_path;
  std::function<std::optional<OutputSettings>(QWidget* window, const OutputSettings& current)>
      ask_array_settings;
  std::function<void(QWidget* window, const QString& title, const QString& text)> inform;

  // Message boxes, the desktop's file dialog and the Array Settings dialog.
  static WindowDialogs real();
};

}  // namespace marquee8
