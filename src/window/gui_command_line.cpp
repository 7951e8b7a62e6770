#include "gui_command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace marquee8 {

namespace {

constexpr int kUsageError = 2;  // as for marquee8

void print(std::FILE* stream, const QString& text) { std::fputs(qPrintable(text), stream); }

}  // namespace

std::optional<int> handle_gui_command_line(int argc, char** argv) {
  QCoreApplication::setApplicationName(QStringLiteral("marquee8-gui"));
  QCoreApplication::setApplicationVersion(QStringLiteral(MARQUEE8_VERSION));
  // Gives the parser the program's name for its usage line; gone before the window's
  // QApplication is made.
  const QCoreApplication application(argc, argv);

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Open the marquee8 window: type a line of text, press Start and copy the C declarations\n"
      "an 8-row LED marquee scrolls. For the command line, see 'marquee8 --help'."));
  // Not addHelpOption(): its --help-all lists Qt's own options, which are not read here.
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Displays this help."));
  parser.addOption(help);
  // -V as marquee8 spells it; -v, Qt's own spelling, keeps working.
  const QCommandLineOption version(
      {QStringLiteral("V"), QStringLiteral("v"), QStringLiteral("version")},
      QStringLiteral("Displays version information."));
  parser.addOption(version);

  // Qt's own options (-platform NAME, -style NAME, …) are QApplication's to read; taken here as
  // words, not as a run of one-letter options.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.addOption({QStringLiteral("platform"),
                    QStringLiteral("Opens the window with this Qt platform plugin (xcb, wayland, "
                                   "offscreen)."),
                    QStringLiteral("name")});
  for (const char* const qt_option :
       {"platformpluginpath", "platformtheme", "plugin", "display", "geometry", "qwindowgeometry",
        "qwindowicon", "qwindowtitle", "style", "stylesheet", "session"}) {
    QCommandLineOption taken(QString::fromLatin1(qt_option), QString(), QStringLiteral("value"));
    taken.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(taken);
  }
  for (const char* const qt_flag : {"reverse", "nograb", "dograb", "sync", "widgetcount"}) {
    QCommandLineOption taken(QString::fromLatin1(qt_flag));
    taken.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(taken);
  }

  const QString name = QCoreApplication::applicationName();
  QString error;
  if (!parser.parse(QCoreApplication::arguments())) {
    error = parser.errorText();
  } else if (!parser.positionalArguments().isEmpty()) {
    error = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first());
  }
  if (!error.isEmpty()) {
    print(stderr,
          QStringLiteral("%1: %2 Try '%1 --help' for more information.\n").arg(name, error));
    return kUsageError;
  }
  if (parser.isSet(help)) {
    print(stdout, parser.helpText());
    return 0;
  }
  if (parser.isSet(version)) {
    print(stdout, name + u' ' + QCoreApplication::applicationVersion() + u'\n');
    return 0;
  }
  return std::nullopt;
}

}  // namespace marquee8
