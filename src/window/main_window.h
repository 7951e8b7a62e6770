#pragma once

#include <QMainWindow>
#include <QSettings>
#include <QString>
#include <functional>
#include <optional>

#include "core_adapter.h"
#include "window_dialogs.h"

class QAction;
class QActionGroup;
class QLabel;
class QLineEdit;
class QPushButton;

namespace marquee8 {

class BoardTaskDialog;
class CanvasView;
class LedPreviewWindow;
class LedStrip;
class OutputBox;
class RunProgress;

// Form1: the prompt, the input box, the canvas, the output box and the Start button at fixed
// pixel positions in a 747 x 349 client area, with a menu bar above it and a status bar below.
// Start converts the input box's text; once it has, changing an output setting converts again,
// so what is shown always matches what is chosen.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr QSize kClientSize{747, 349};

  // How a Start runs the conversion; tests put a failing one in between.
  using Start = std::function<StartResult(WindowConversion& conversion, const QString& text)>;
  static Start default_start();

  explicit MainWindow(WindowDialogs dialogs = WindowDialogs::real(), Start start = default_start(),
                      QWidget* parent = nullptr);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void build_menus();
  void load_stored_font();
  void store(const std::function<void(QSettings&)>& save);
  void build_font_menu();
  void show_font();
  void change_font(const FontSettings& settings);
  void redisplay();  // the shown text or array again, after a setting changed
  QAction* add_option(QMenu* menu, const QString& text, const char* name,
                      bool OutputSettings::*option);
  // What the output shows: the input box's text, or an array pasted in.
  struct Source {
    QString text;
    bool pasted_array = false;
  };

  void run_start();
  void paste_array();
  void display(const Source& source);
  // Runs `work` off the window's thread (see RunProgress) and reports what it threw; true when
  // it succeeded. Nothing runs while another run goes on.
  bool run_in_background(const std::function<void()>& work);
  void change_settings(const OutputSettings& settings);
  void show_settings();
  void save_output();
  // Shows a board task's dialog, whose outcome goes to the status bar.
  void open_board_dialog(BoardTaskDialog* dialog);

  WindowDialogs dialogs_;
  Start start_command_;
  WindowConversion conversion_;
  QSettings store_;
  std::optional<Source> shown_;  // once Start has run or an array was pasted
  QAction* pasted_msb_top_;      // Edit → Pasted Array Has Bit 7 on Top

  QWidget* client_;
  QLabel* label_;
  QLineEdit* input_;
  CanvasView* canvas_view_;
  OutputBox* output_;
  QPushButton* start_;
  LedStrip* strip_;
  LedPreviewWindow* preview_window_;
  QLabel* summary_;
  QLabel* font_in_use_;
  RunProgress* progress_;
  bool close_after_run_ = false;
  bool told_unsaved_ = false;
  QAction* pause_ = nullptr;
  QActionGroup* formats_ = nullptr;
  QAction* save_ = nullptr;
  QAction* quit_ = nullptr;
  QAction* send_to_board_ = nullptr;
  std::vector<std::uint8_t> shown_columns_;  // what Send to Board sends: the shown array
  std::vector<std::pair<QAction*, bool OutputSettings::*>> options_;
  QActionGroup* fonts_ = nullptr;
  std::vector<std::pair<QAction*, FontSettings>> font_picks_;
  QAction* cell_spacing_ = nullptr;
  QAction* font_spacing_ = nullptr;
};

}  // namespace marquee8
