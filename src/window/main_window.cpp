#include "main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTextDocument>
#include <exception>
#include <limits>
#include <utility>

#include "canvas_view.h"
#include "install_receiver_dialog.h"
#include "led_preview_window.h"
#include "led_strip.h"
#include "menu_actions.h"
#include "output_box.h"
#include "run_progress.h"
#include "send_to_board_dialog.h"
#include "settings_store.h"
#include "wiring_dialog.h"

namespace marquee8 {
namespace {

// Children are placed by hand and no layout is installed, so resizing the window moves nothing.
template <typename Widget>
Widget* place(Widget* widget, const char* name, QRect geometry) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(geometry);
  return widget;
}

QString summary_of(const StartResult& result) {
  QString summary =
      MainWindow::tr("%L1 columns · %L2 bytes").arg(result.columns).arg(result.array_bytes);
  for (const QString& warning : result.font_warnings + result.status_warnings) {
    summary += QStringLiteral(" · ") + warning;
  }
  return summary;
}

}  // namespace

MainWindow::Start MainWindow::default_start() {
  return [](WindowConversion& conversion, const QString& text) { return conversion.start(text); };
}

MainWindow::MainWindow(WindowDialogs dialogs, Start start, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(std::move(dialogs)),
      start_command_(std::move(start)),
      store_(QStringLiteral("marquee8"), QStringLiteral("marquee8")),
      client_(new QWidget(this)),
      label_(place(new QLabel(QStringLiteral("請輸入您要顯示的數字"), client_), "Label1",
                   {16, 24, 153, 25})),
      input_(place(new QLineEdit(default_text(), client_), "txtinput", {208, 24, 81, 33})),
      canvas_view_(place(new CanvasView(client_), "pic", {40, 88, 673, 33})),
      output_(
          place(new OutputBox(QStringLiteral("Text1"), client_), "txtoutput", {32, 152, 689, 129})),
      start_(
          place(new QPushButton(QStringLiteral("Start"), client_), "Command1", {56, 296, 81, 33})),
      // The free space right of Start, clear of every control.
      strip_(place(new LedStrip(client_), "ledPreview", {150, 288, 586, 60})),
      preview_window_(new LedPreviewWindow(this)),
      summary_(new QLabel(this)),
      font_in_use_(new QLabel(this)),
      progress_(new RunProgress(this)) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Form1"));
  client_->setObjectName(QStringLiteral("clientArea"));
  setCentralWidget(client_);
  conversion_.set_output_settings(load_output_settings(store_));
  load_stored_font();

  // Qt's default of 32767 would silently cut a long pasted text.
  input_->setMaxLength(std::numeric_limits<int>::max());

  setTabOrder(canvas_view_, output_);
  setTabOrder(output_, start_);
  setTabOrder(start_, input_);
  canvas_view_->setFocus();

  canvas_view_->show_image(blank_canvas());
  connect(start_, &QPushButton::clicked, this, &MainWindow::run_start);
  connect(output_->document(), &QTextDocument::contentsChanged, this, [this] {
    if (shown_ && output_->edited()) {
      statusBar()->showMessage(
          tr("Edited by hand: Copy Output and Save Output As still give the "
             "output as converted; select the text to copy your edits."));
    }
  });

  build_menus();
  summary_->setObjectName(QStringLiteral("summary"));
  statusBar()->addWidget(summary_, 1);
  statusBar()->addPermanentWidget(progress_);
  font_in_use_->setObjectName(QStringLiteral("fontInUse"));
  statusBar()->addPermanentWidget(font_in_use_);
  resize(kClientSize.width(),
         kClientSize.height() + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
}

// A font stored last time that cannot be used now (removed, renamed, broken): the built-in one
// draws instead with the stored spacing and offset, and the status bar says so, since the bytes
// would otherwise change font unnoticed.
void MainWindow::load_stored_font() {
  const FontSettings stored = load_font_settings(store_);
  try {
    conversion_.set_font_settings(stored);
  } catch (const std::exception& error) {
    FontSettings builtin;
    builtin.cell_spacing = stored.cell_spacing;
    builtin.offset = stored.offset;
    conversion_.set_font_settings(builtin);
    summary_->setText(tr("The font %1 cannot be used, so the built-in font draws: %2")
                          .arg(name_of(stored.font), QString::fromUtf8(error.what())));
  }
}

// Settings that cannot be written (a full disk, a folder that may not be written) are kept for
// this session, and the user hears of it once rather than finding the old ones back next time.
void MainWindow::store(const std::function<void(QSettings&)>& save) {
  save(store_);
  store_.sync();
  if (store_.status() == QSettings::NoError || told_unsaved_) return;
  told_unsaved_ = true;
  dialogs_.report_failure(this, tr("The settings cannot be saved in %1, so the next start will "
                                   "not have them.")
                                    .arg(store_.fileName()));
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (progress_->running()) {
    // The run ends at its next block of columns, and the window closes then.
    progress_->cancel();
    close_after_run_ = true;
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

void MainWindow::build_menus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  save_ = add_action(file, tr("&Save Output As…"), "actionSaveOutputAs", QKeySequence::Save);
  save_->setEnabled(false);  // there is nothing to save before the first Start
  connect(save_, &QAction::triggered, this, &MainWindow::save_output);
  file->addSeparator();
  quit_ = add_action(file, tr("&Quit"), "actionQuit", QKeySequence::Quit);
  connect(quit_, &QAction::triggered, this, &QWidget::close);
  // Qt drops the shortcut of an action whose only widget is disabled, and the menu bar is
  // disabled during a run: the window itself carries Quit too, so Ctrl+Q ends a run and quits.
  addAction(quit_);

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  connect(
      add_action(edit, tr("&Copy Output"), "actionCopyOutput", QKeySequence(tr("Ctrl+Shift+C"))),
      &QAction::triggered, this, [this] { QApplication::clipboard()->setText(output_->text()); });
  connect(
      add_action(edit, tr("&Paste Array"), "actionPasteArray", QKeySequence(tr("Ctrl+Shift+V"))),
      &QAction::triggered, this, &MainWindow::paste_array);
  // The pasted array's own bit order; Output → Top Row Is Bit 7 is the order it is written in.
  pasted_msb_top_ = add_action(edit, tr("Pasted Array Has &Bit 7 on Top"), "actionPastedMsbTop");
  pasted_msb_top_->setCheckable(true);
  connect(pasted_msb_top_, &QAction::toggled, this, [this] {
    if (shown_ && shown_->pasted_array) redisplay();
  });

  QMenu* output = menuBar()->addMenu(tr("&Output"));
  formats_ = new QActionGroup(this);
  for (const FormatChoice& format_choice : format_choices()) {
    const OutputFormat format = format_choice.format;
    const QString name = QStringLiteral("actionFormat_") + format_choice.name;
    QAction* choice = add_action(output, format_choice.label, name.toLatin1().constData());
    choice->setCheckable(true);
    choice->setData(static_cast<int>(format));
    formats_->addAction(choice);
    connect(choice, &QAction::triggered, this, [this, format] {
      OutputSettings settings = conversion_.output_settings();
      settings.format = format;
      change_settings(settings);
    });
  }
  output->addSeparator();
  add_option(output, tr("&Hex Values"), "actionHex", &OutputSettings::hex);
  add_option(output, tr("&Top Row Is Bit 7"), "actionMsbTop", &OutputSettings::msb_top);
  add_option(output, tr("ASCII-&Art Comment"), "actionArt", &OutputSettings::art);
  output->addSeparator();
  connect(
      add_action(output, tr("Array &Settings…"), "actionArraySettings"), &QAction::triggered, this,
      [this] {
        if (const auto chosen = dialogs_.ask_array_settings(this, conversion_.output_settings())) {
          change_settings(*chosen);
        }
      });

  build_font_menu();

  QMenu* board = menuBar()->addMenu(tr("&Board"));
  connect(add_action(board, tr("&Install Receiver…"), "actionInstallReceiver"), &QAction::triggered,
          this, [this] { open_board_dialog(new InstallReceiverDialog(store_, this)); });
  connect(add_action(board, tr("&Wiring…"), "actionWiring"), &QAction::triggered, this,
          [this] { open_board_dialog(new WiringDialog(store_, this)); });
  send_to_board_ = add_action(board, tr("&Send to Board…"), "actionSendToBoard");
  send_to_board_->setEnabled(false);  // nothing to send before the first Start
  connect(send_to_board_, &QAction::triggered, this,
          [this] { open_board_dialog(new SendToBoardDialog(shown_columns_, store_, this)); });

  QMenu* view = menuBar()->addMenu(tr("&View"));
  connect(add_action(view, tr("LED Preview &Window"), "actionLedPreviewWindow"),
          &QAction::triggered, this, [this] {
            preview_window_->show();
            preview_window_->raise();
          });
  pause_ = add_action(view, tr("&Pause Preview"), "actionPausePreview");
  pause_->setCheckable(true);
  connect(pause_, &QAction::toggled, this, [this](bool paused) {
    strip_->set_paused(paused);
    preview_window_->set_paused(paused);
  });
  connect(preview_window_, &LedPreviewWindow::paused_changed, pause_, &QAction::setChecked);

  QMenu* help = menuBar()->addMenu(tr("&Help"));
  connect(
      add_action(help, tr("&About marquee8"), "actionAbout"), &QAction::triggered, this, [this] {
        dialogs_.inform(this, tr("About marquee8"),
                        tr("<b>marquee8</b> %1<p>Turns a line of text into the column bytes of an "
                           "8-row LED marquee.<p>MIT License.")
                            .arg(QStringLiteral(MARQUEE8_VERSION)));
      });
  show_settings();
  show_font();
}

QAction* MainWindow::add_option(QMenu* menu, const QString& text, const char* name,
                                bool OutputSettings::*option) {
  QAction* toggle = add_action(menu, text, name);
  toggle->setCheckable(true);
  options_.emplace_back(toggle, option);
  connect(toggle, &QAction::toggled, this, [this, option](bool on) {
    OutputSettings settings = conversion_.output_settings();
    if (settings.*option == on) return;
    settings.*option = on;
    change_settings(settings);
  });
  return toggle;
}

void MainWindow::show_settings() {
  const OutputSettings& settings = conversion_.output_settings();
  for (QAction* format : formats_->actions()) {
    format->setChecked(format->data().toInt() == static_cast<int>(settings.format));
  }
  for (const auto& [toggle, option] : options_) toggle->setChecked(settings.*option);
}

void MainWindow::change_settings(const OutputSettings& settings) {
  if (progress_->running()) return;
  if (const auto problem = settings_problem_of(settings)) {
    dialogs_.report_failure(this, *problem);
    show_settings();
    return;
  }
  conversion_.set_output_settings(settings);
  store([&](QSettings& to) { save_output_settings(to, settings); });
  show_settings();
  redisplay();
}

void MainWindow::redisplay() {
  if (shown_) display(shown_->pasted_array ? *shown_ : Source{input_->text()});
}

// A line break the input box took from a paste would be drawn as a box: the command line
// refuses such a text, and so does Start.
void MainWindow::run_start() {
  const QString text = input_->text();
  for (qsizetype at = 0; at < text.size(); ++at) {
    if (text[at] == QLatin1Char('\n') || text[at] == QLatin1Char('\r')) {
      summary_->setText(tr("The text has a line break at character %L1; a marquee shows one "
                           "line: remove it and press Start again.")
                            .arg(at + 1));
      return;
    }
  }
  display({text});
}

void MainWindow::paste_array() { display({QApplication::clipboard()->text(), true}); }

bool MainWindow::run_in_background(const std::function<void()>& work) {
  if (progress_->running()) return false;
  // The worker has the conversion to itself until it ends: the menus wait, and what could reach
  // the conversion otherwise (Start, shortcuts) does nothing meanwhile.
  menuBar()->setEnabled(false);
  std::exception_ptr failure;
  try {
    progress_->run(conversion_, work);
  } catch (...) {
    failure = std::current_exception();
  }
  menuBar()->setEnabled(true);
  if (close_after_run_) {
    close();
    return false;
  }
  if (failure && !cancelled(failure)) dialogs_.report_failure(this, describe_failure(failure));
  return !failure;
}

void MainWindow::display(const Source& source) {
  StartResult result;
  if (!run_in_background([&] {
        result = source.pasted_array
                     ? conversion_.show_array(source.text, pasted_msb_top_->isChecked())
                     : start_command_(conversion_, source.text);
      })) {
    return;
  }
  canvas_view_->show_image(std::move(result.canvas));
  // The picture's columns line up only in a fixed-pitch font; otherwise the box keeps the
  // form's own font.
  output_->setFont(conversion_.output_settings().art
                       ? QFontDatabase::systemFont(QFontDatabase::FixedFont)
                       : QFont());
  output_->show_output(result.output);
  strip_->set_columns(result.array);
  preview_window_->set_columns(result.array);
  summary_->setText(summary_of(result));
  summary_->setToolTip(result.font_warnings.join(QLatin1Char('\n')));
  shown_ = source;
  shown_columns_ = result.array;
  save_->setEnabled(true);
  send_to_board_->setEnabled(true);
}

void MainWindow::open_board_dialog(BoardTaskDialog* dialog) {
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  // The dialog keeps the window's shortcuts from it, Quit too; quitting stops its task at once.
  dialog->addAction(quit_);
  connect(dialog, &BoardTaskDialog::finished_task, this,
          [this](const QString& message) { statusBar()->showMessage(message); });
  dialog->open();
}

void MainWindow::save_output() {
  const std::optional<QString> path =
      dialogs_.ask_save_path(this, save_suggestion(conversion_.output_settings().format));
  if (!path || !shown_) return;
  run_in_background([&] {
    if (shown_->pasted_array) {
      conversion_.save_array_output(shown_->text, pasted_msb_top_->isChecked(), *path);
    } else {
      conversion_.save_output(shown_->text, *path);
    }
  });
}

}  // namespace marquee8
