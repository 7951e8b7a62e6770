#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdlib>

int main(int argc, char** argv) {
  // Test discovery runs this binary without the tests' environment, and there may be no display.
  setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
  QApplication application(argc, argv);
  // The windows under test store their settings here, never in the user's own.
  const QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  // Figures such as "1,801 columns" are written as this locale writes them.
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
