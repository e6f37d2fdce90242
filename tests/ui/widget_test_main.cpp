// The main of the widget tests: the application the window needs, on the offscreen platform
// unless the environment names another.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "ui/app/application.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Choices the window keeps go to a folder of the test's own, empty at the start.
  QTemporaryDir settings;
  qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
  ::testing::InitGoogleTest(&argc, argv);
  torvane::ui::prepareApplication();
  QApplication application(argc, argv);
  torvane::ui::configureApplication(application);
  return RUN_ALL_TESTS();
}
