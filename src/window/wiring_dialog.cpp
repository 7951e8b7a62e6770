#include "wiring_dialog.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "led_strip.h"
#include "module_wiring.h"

namespace marquee8 {
namespace {

const QString kModulesKey = QStringLiteral("board/modules");

// The widest a picture is drawn, in pixels: a row of 16 modules still fits a screen.
constexpr int kPictureWidth = 512;

// A wizard's picture as the board's LEDs look, red on the modules' black face.
QPixmap drawn(const LedPicture& picture) {
  const int rows = static_cast<int>(picture.size());
  const int columns = static_cast<int>(picture.front().size());
  const int size = std::clamp(kPictureWidth / columns, 4, 10);
  QPixmap pixmap(columns * size, rows * size);
  QPainter painter(&pixmap);
  paint_leds(painter, pixmap.rect(), {}, rows, columns, size, kLedRed, [&](int row, int column) {
    return picture[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] == '#';
  });
  return pixmap;
}

}  // namespace

WiringDialog::WiringDialog(QSettings& store, QWidget* parent)
    : BoardTaskDialog(store, tr("Show &Test Pattern"), "wiringDialog", "pattern", parent),
      store_(store),
      modules_(new QSpinBox(this)),
      asking_(new QWidget(this)),
      question_(new QLabel(asking_)),
      pictures_(new QWidget(asking_)) {
  setWindowTitle(tr("Wiring"));
  modules_->setObjectName(QStringLiteral("modules"));
  modules_->setRange(kModulesRange.lowest, kModulesRange.highest);
  modules_->setValue(store_.value(kModulesKey, kModulesRange.fallback).toInt());
  choices().addRow(tr("&Modules:"), modules_);

  question_->setObjectName(QStringLiteral("wiringQuestion"));
  question_->setWordWrap(true);
  auto* asking = new QVBoxLayout(asking_);
  asking->setContentsMargins(0, 0, 0, 0);
  asking->addWidget(question_);
  asking->addWidget(pictures_);
  new QGridLayout(pictures_);
  asking_->hide();
  add_below_choices(asking_);
  say(
      tr("The board lights a test pattern on the module wired to it; pick the picture that "
         "looks like it, and the board keeps its wiring."));
  connect(this, &BoardTaskDialog::finished_task, this, [this] {
    if (closing_) QDialog::reject();
  });
}

// A step still running uses the session: it ends before the session goes.
WiringDialog::~WiringDialog() { stop_task(); }

void WiringDialog::start() {
  closing_ = false;
  const int modules = modules_->value();
  store_.setValue(kModulesKey, modules);
  stage_ = Stage::kOpening;
  run(
      [this, modules](const QString& port, const BoardProgress& progress) {
        return run_board_task(progress, [&](const RunControl& control) {
          session_ = std::make_unique<WiringSession>(port.toStdString(), modules, control);
          return std::string();
        });
      },
      tr("Lighting the test pattern on %1…"),
      tr("Cancelled; %1.").arg(words(kStoppedWiringLeaves)));
}

bool WiringDialog::went_on(const BoardResult& result) {
  const Stage ran = stage_;
  stage_ = Stage::kIdle;
  if (result.ok && (ran == Stage::kOpening || ran == Stage::kAgain)) {
    if (cancelling() || closing_) {
      restore();
    } else {
      ask(ran == Stage::kOpening ? Stage::kAskingWiring : Stage::kAskingEnd);
    }
    return true;
  }
  session_.reset();
  return false;
}

void WiringDialog::ask(Stage question) {
  stage_ = question;
  const bool wiring = question == Stage::kAskingWiring;
  const std::vector<LedPicture> pictures = wiring ? session_->wizard().wiring_pictures()
                                                  : session_->wizard().end_pictures(wiring_answer_);
  question_->setText(words(wiring ? WiringWizard::kWiringQuestion : WiringWizard::kEndQuestion));
  for (QPushButton* old : pictures_->findChildren<QPushButton*>()) delete old;
  auto* grid = static_cast<QGridLayout*>(pictures_->layout());
  // Eight modules in two rows of four; a whole row of modules a line.
  const int across = wiring ? 4 : 1;
  for (std::size_t at = 0; at < pictures.size(); ++at) {
    const int number = static_cast<int>(at) + 1;
    auto* button = new QPushButton(pictures_);
    button->setObjectName(QStringLiteral("picture%1").arg(number));
    button->setAccessibleName(tr("Picture %1").arg(number));
    button->setToolTip(tr("Picture %1").arg(number));
    const QPixmap pixmap = drawn(pictures[at]);
    button->setIcon(pixmap);
    button->setIconSize(pixmap.size());
    grid->addWidget(button, static_cast<int>(at) / across, static_cast<int>(at) % across);
    connect(button, &QPushButton::clicked, this, [this, at] { answer(static_cast<int>(at)); });
  }
  asking_->show();
  say(tr("The board shows its test pattern for a minute."));
  pictures_->findChild<QPushButton*>(QStringLiteral("picture1"))->setFocus();
}

void WiringDialog::answer(int picture) {
  if (stage_ == Stage::kAskingWiring && session_->wizard().asks_end()) {
    wiring_answer_ = picture;
    return step(Stage::kAgain, tr("Lighting the test pattern again…"), [this] {
      session_->show_pattern_again();
      return std::string();
    });
  }
  const bool end_asked = stage_ == Stage::kAskingEnd;
  const int wiring = end_asked ? wiring_answer_ : picture;
  const int end = end_asked ? picture : 0;
  const QString next = tr(". Next: %1").arg(how_to_send());
  step(Stage::kConfiguring, tr("Telling the board its wiring…"), [this, wiring, end, next] {
    return layout_report(session_->port(), session_->finish(wiring, end)) + next.toStdString();
  });
}

void WiringDialog::step(Stage stage, const QString& doing,
                        const std::function<std::string()>& work) {
  stage_ = stage;
  asking_->hide();
  say(doing);
  run_step(
      [work](const BoardProgress& progress) {
        return run_board_task(progress, [&](const RunControl&) { return work(); });
      },
      tr("Cancelled; %1.").arg(words(kStoppedWiringLeaves)));
}

void WiringDialog::restore() {
  step(Stage::kRestoring, tr("Putting the board back on its wiring…"), [this] {
    return tr("Cancelled; the board is back on %1.")
        .arg(QString::fromStdString(describe_layout(session_->cancel())))
        .toStdString();
  });
}

void WiringDialog::reject() {
  if (stage_ == Stage::kAskingWiring || stage_ == Stage::kAskingEnd) {
    closing_ = true;
    return restore();
  }
  if (stage_ == Stage::kIdle) return QDialog::reject();
  // A step runs: the dialog closes once it has stopped and the board is back on its layout.
  closing_ = true;
  cancel();
}

}  // namespace marquee8
