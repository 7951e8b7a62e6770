#include <QApplication>

#include "main_window.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // Lets the desktop match the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral(MARQUEE8_APP_ID));
  marquee8::MainWindow window;
  window.show();
  return QApplication::exec();
}
