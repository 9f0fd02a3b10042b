// Test entry point shared by every test executable. Widget tests need a
// QApplication; engine tests link no Qt at all, so the choice is made at build time.
#include <gtest/gtest.h>

#include "support/private_home.h"

#if __has_include(<QApplication>) && defined(QT_WIDGETS_LIB)
#include <QApplication>
#include <QStandardPaths>
int main(int argc, char** argv) {
  const korvo::testing::PrivateHome home;
  // ctest lists the tests by running this program without the tests' own
  // environment, where there may be no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
#elif __has_include(<QCoreApplication>) && defined(QT_CORE_LIB)
#include <QCoreApplication>
#include <QStandardPaths>
int main(int argc, char** argv) {
  const korvo::testing::PrivateHome home;
  QStandardPaths::setTestModeEnabled(true);
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
#else
int main(int argc, char** argv) {
  const korvo::testing::PrivateHome home;
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
#endif
