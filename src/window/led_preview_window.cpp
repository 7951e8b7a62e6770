#include "led_preview_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "led_strip.h"

namespace marquee8 {

namespace {

QSpinBox* spin_box(const char* name, int low, int high, int value, const QString& suffix,
                   QWidget* parent) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setRange(low, high);
  box->setValue(value);
  box->setSuffix(suffix);
  return box;
}

}  // namespace

LedPreviewWindow::LedPreviewWindow(QWidget* main_window)
    : QWidget(main_window, Qt::Window),
      strip_(new LedStrip(this)),
      modules_(spin_box("modules", 1, 32, kDefaultModules, tr(" × 8×8"), this)),
      speed_(spin_box("speed", 1, 200, 20, tr(" columns/s"), this)),
      pause_(new QCheckBox(tr("&Pause"), this)),
      colour_(new QComboBox(this)) {
  setObjectName(QStringLiteral("ledPreviewWindow"));
  setWindowTitle(tr("LED Preview"));
  strip_->setObjectName(QStringLiteral("ledPreviewLarge"));
  strip_->setMinimumSize(256, 64);
  pause_->setObjectName(QStringLiteral("pause"));
  colour_->setObjectName(QStringLiteral("colour"));
  for (const auto& [name, colour] : {std::pair{tr("Red"), kLedRed},
                                     {tr("Green"), QColor(40, 255, 60)},
                                     {tr("Blue"), QColor(60, 120, 255)},
                                     {tr("Yellow"), QColor(255, 200, 0)},
                                     {tr("White"), QColor(240, 240, 240)}}) {
    colour_->addItem(name, colour);
  }
  auto* step = new QPushButton(tr("&Step"), this);
  step->setObjectName(QStringLiteral("step"));

  auto* controls = new QHBoxLayout;
  const auto labelled = [&](const QString& text, QWidget* field) {
    auto* label = new QLabel(text, this);
    label->setBuddy(field);  // makes the & a keyboard shortcut to the field
    controls->addWidget(label);
    controls->addWidget(field);
  };
  labelled(tr("&Modules:"), modules_);
  labelled(tr("Spee&d:"), speed_);
  controls->addWidget(pause_);
  controls->addWidget(step);
  labelled(tr("&Colour:"), colour_);
  controls->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(strip_, 1);
  layout->addLayout(controls);

  strip_->set_visible_columns(kDefaultModules * 8);
  connect(modules_, &QSpinBox::valueChanged, this,
          [this](int modules) { strip_->set_visible_columns(modules * 8); });
  connect(speed_, &QSpinBox::valueChanged, strip_, &LedStrip::set_columns_per_second);
  connect(pause_, &QCheckBox::toggled, this, [this](bool paused) {
    strip_->set_paused(paused);
    emit paused_changed(paused);
  });
  connect(step, &QPushButton::clicked, strip_, &LedStrip::advance);
  connect(colour_, &QComboBox::currentIndexChanged, this,
          [this] { strip_->set_colour(colour_->currentData().value<QColor>()); });
  resize(720, 200);
}

void LedPreviewWindow::set_columns(const std::vector<std::uint8_t>& columns) {
  strip_->set_columns(columns);
}

void LedPreviewWindow::set_paused(bool paused) { pause_->setChecked(paused); }

}  // namespace marquee8
