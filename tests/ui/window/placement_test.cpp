// The window's frame on two screens, a wide one and one lower than the window: wherever the
// window goes, its frame stays inside the screen's available area (or, when the window is taller
// than the area, its top row with 「終了する」 does).
#include <QClipboard>
#include <QPlainTextEdit>
#include <QScreen>
#include <QWindow>

#include "message_box_answerer.h"
#include "window_fixture.h"

namespace torvane::testing {
namespace {

class PlacementTest : public MainWindowTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(QGuiApplication::screens().size(), 2) << "run with two_screens.json";
    MainWindowTest::SetUp();
  }
  QScreen* screenNamed(const char* name) {
    for (QScreen* screen : QGuiApplication::screens())
      if (screen->name() == QLatin1String(name)) return screen;
    return nullptr;
  }
  QRect quitButton() {
    return {window().Button2->mapToGlobal(QPoint(0, 0)), window().Button2->size()};
  }
};

TEST_F(PlacementTest, CentredOnTheScreenItOpensOn) {
  const QRect area = window().screen()->availableGeometry();
  EXPECT_TRUE(area.contains(window().frameGeometry()));
  EXPECT_LE((window().frameGeometry().center() - area.center()).manhattanLength(), 2);
}

// Regression: nothing followed a change of screen, and the window could stand off the screen
// it was on.
TEST_F(PlacementTest, AnotherScreenTakesTheFrameInside) {
  QScreen* low = screenNamed("Low");
  ASSERT_NE(low, nullptr);
  window().windowHandle()->setScreen(low);
  const QRect area = low->availableGeometry();
  const QRect frame = window().frameGeometry();
  ASSERT_GT(frame.height(), area.height()) << "the window is taller than this screen";
  EXPECT_EQ(frame.topLeft().y(), area.top()) << "its top row on the screen";
  EXPECT_GE(frame.left(), area.left());
  EXPECT_LE(frame.right(), area.right());
  EXPECT_TRUE(area.contains(quitButton())) << "終了する can be reached";

  window().windowHandle()->setScreen(screenNamed("Wide"));
  EXPECT_TRUE(window().screen()->availableGeometry().contains(window().frameGeometry()));
}

TEST_F(PlacementTest, APasteACheckAndShowingAgainLeaveTheWindowWhereItIs) {
  const QRect before = window().frameGeometry();
  QGuiApplication::clipboard()->setText(QStringLiteral("漢字のテスト、ABC。\n").repeated(40000));
  window().Button4Click();
  while (window().RichEdit1->isPasting()) QTest::qWait(5);
  EXPECT_EQ(window().frameGeometry(), before) << "after the paste";
  MessageBoxAnswerer answerer;
  window().Button1Click();
  EXPECT_EQ(window().frameGeometry(), before) << "after the check";
  window().hide();
  window().show();
  EXPECT_EQ(window().frameGeometry(), before) << "shown again";
}

}  // namespace
}  // namespace torvane::testing
