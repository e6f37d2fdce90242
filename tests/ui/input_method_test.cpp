#include <QTextEdit>

#include <vector>

#include "window_fixture.h"

namespace torvane::testing {
namespace {

std::vector<QString> messages;
void recordMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
  messages.push_back(message);
}

// The test machine runs no input method: focusing the text box must do nothing, quietly.
TEST_F(MainWindowTest, FocusWithoutAnInputMethodRunningSaysNothing) {
  qunsetenv("IBUS_ADDRESS");
  messages.clear();
  const QtMessageHandler previous = qInstallMessageHandler(recordMessage);
  for (int i = 0; i < 3; ++i) {
    control("RichEdit1")->setFocus();
    QTest::qWait(20);
    control("Button1")->setFocus();
  }
  qInstallMessageHandler(previous);
  EXPECT_TRUE(messages.empty()) << messages.front().toStdString();
  EXPECT_TRUE(window().isVisible());
}

}  // namespace
}  // namespace torvane::testing
