// The main of the widget tests: the application the window needs, on the offscreen platform
// unless the environment names another.
#include <gtest/gtest.h>

#include <QApplication>

#include "ui/application.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  torvane::ui::prepareApplication();
  QApplication application(argc, argv);
  torvane::ui::configureApplication(application);
  return RUN_ALL_TESTS();
}
