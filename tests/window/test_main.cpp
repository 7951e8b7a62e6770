#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
  // Test discovery runs this binary without the tests' environment, and there may be no display.
  setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
  QApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
