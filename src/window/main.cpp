#include <QApplication>
#include <csignal>

#include "gui_command_line.h"
#include "main_window.h"
#include "window_system.h"

int main(int argc, char** argv) {
  // A FIFO whose reader goes away while Save Output As writes to it fails that save with EPIPE
  // instead of ending the window.
  std::signal(SIGPIPE, SIG_IGN);
  if (const auto status = marquee8::handle_gui_command_line(argc, argv)) return *status;
  const auto application = marquee8::start_window_system(argc, argv);
  // Lets the desktop match the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral(MARQUEE8_APP_ID));
  marquee8::MainWindow window;
  window.show();
  return QApplication::exec();
}
