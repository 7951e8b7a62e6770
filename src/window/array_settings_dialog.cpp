#include "array_settings_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

namespace marquee8 {

namespace {

QSpinBox* lead_box(int columns, const char* name, QWidget* parent) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setRange(kLeadInRange.lowest, kLeadInRange.highest);
  box->setSuffix(ArraySettingsDialog::tr(" columns"));
  box->setValue(columns);
  return box;
}

QLineEdit* name_box(const std::string& name, const char* object_name, QWidget* parent) {
  auto* box = new QLineEdit(QString::fromStdString(name), parent);
  box->setObjectName(QString::fromLatin1(object_name));
  return box;
}

}  // namespace

ArraySettingsDialog::ArraySettingsDialog(const OutputSettings& settings, QWidget* parent)
    : QDialog(parent),
      base_(settings),
      lead_in_(lead_box(settings.lead_in, "leadIn", this)),
      lead_out_(lead_box(settings.lead_out, "leadOut", this)),
      array_name_(name_box(settings.array_name, "arrayName", this)),
      length_name_(name_box(settings.length_name, "lengthName", this)),
      problem_(new QLabel(this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
  setWindowTitle(tr("Array Settings"));
  problem_->setObjectName(QStringLiteral("problem"));
  problem_->setWordWrap(true);
  auto* form = new QFormLayout(this);
  form->addRow(tr("Blank columns &before the text:"), lead_in_);
  form->addRow(tr("Blank columns &after the text:"), lead_out_);
  form->addRow(tr("&Array name:"), array_name_);
  form->addRow(tr("&Length name:"), length_name_);
  form->addRow(problem_);
  form->addRow(buttons_);
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  for (QSpinBox* box : {lead_in_, lead_out_}) {
    connect(box, &QSpinBox::valueChanged, this, &ArraySettingsDialog::recheck);
  }
  for (QLineEdit* box : {array_name_, length_name_}) {
    connect(box, &QLineEdit::textChanged, this, &ArraySettingsDialog::recheck);
  }
  recheck();
}

OutputSettings ArraySettingsDialog::settings() const {
  OutputSettings settings = base_;
  settings.lead_in = lead_in_->value();
  settings.lead_out = lead_out_->value();
  settings.array_name = array_name_->text().toStdString();
  settings.length_name = length_name_->text().toStdString();
  return settings;
}

void ArraySettingsDialog::recheck() {
  const std::optional<QString> problem = settings_problem_of(settings());
  problem_->setText(problem.value_or(QString()));
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(!problem);
  // A wrapped label's height depends on its width, which the layout's minimum size leaves out:
  // the dialog grows to show every line of the problem.
  layout()->activate();
  resize(width(), std::max(height(), heightForWidth(width())));
}

}  // namespace marquee8
