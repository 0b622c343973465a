#include <gtest/gtest.h>

#include <QApplication>

#include "shell/qt/toolkit.h"

int main(int argc, char** argv) {
  // No test may need a display or open a window on one, listing the tests included.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  pagelift::SetUpApplication();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
