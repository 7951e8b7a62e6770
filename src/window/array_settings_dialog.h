#pragma once

#include <QDialog>

#include "core_adapter.h"

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace marquee8 {

// Output → Array Settings…: the lead-in and lead-out columns and the two names, checked as the
// command line checks them; OK stays disabled while they cannot be written, and says why.
class ArraySettingsDialog : public QDialog {
  Q_OBJECT

 public:
  ArraySettingsDialog(const OutputSettings& settings, QWidget* parent);

  OutputSettings settings() const;

 private:
  void recheck();

  OutputSettings base_;
  QSpinBox* lead_in_;
  QSpinBox* lead_out_;
  QLineEdit* array_name_;
  QLineEdit* length_name_;
  QLabel* problem_;
  QDialogButtonBox* buttons_;
};

}  // namespace marquee8
