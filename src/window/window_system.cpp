#include "window_system.h"

#include <QByteArray>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace marquee8 {

namespace {

// Qt's messages while its platform plugin starts: dropped if it fails, shown if it starts.
QStringList& held_messages() {
  static QStringList messages;
  return messages;
}

// The -platform NAME the command line gave, which QApplication prefers to QT_QPA_PLATFORM.
QByteArray& platform_option() {
  static QByteArray platform;
  return platform;
}

QByteArray why_no_window() {
  if (!platform_option().isEmpty()) {
    return "the Qt platform plugin '" + platform_option() + "' (-platform) did not start";
  }
  if (const QByteArray platform = qgetenv("QT_QPA_PLATFORM"); !platform.isEmpty()) {
    return "the Qt platform plugin '" + platform + "' (QT_QPA_PLATFORM) did not start";
  }
  if (const QByteArray display = qgetenv("DISPLAY"); !display.isEmpty()) {
    return "cannot connect to display '" + display + "'";
  }
  return "no display (DISPLAY is not set)";
}

// Qt reports a platform plugin that cannot start with qFatal, which aborts.
void hold_or_fail(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg) {
    std::fprintf(stderr,
                 "marquee8-gui: cannot open a window: %s; for the command line use marquee8\n",
                 why_no_window().constData());
    std::_Exit(1);
  }
  held_messages().append(qFormatLogMessage(type, context, message));
}

}  // namespace

std::unique_ptr<QApplication> start_window_system(int& argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i) {
    const QByteArray option(argv[i]);
    if (option == "-platform" || option == "--platform") platform_option() = argv[i + 1];
  }
  const QtMessageHandler previous = qInstallMessageHandler(hold_or_fail);
  auto application = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(previous);
  for (const QString& message : std::exchange(held_messages(), {})) {
    std::fprintf(stderr, "%s\n", qPrintable(message));
  }
  return application;
}

}  // namespace marquee8
