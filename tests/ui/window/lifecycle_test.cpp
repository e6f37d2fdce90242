// The window never loses a command, a text or a frame: closing, copying, undoing and failing
// around a check.
#include <QClipboard>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTextDocument>
#include <QTimer>

#include "message_box_answerer.h"
#include "ui/window/placement.h"
#include "ui/window/window_view.h"
#include "window_fixture.h"

namespace torvane::testing {
namespace {

QString longText() {
  return QStringLiteral("漢字のテスト、ABC。\n").repeated(80000);
}

class LifecycleTest : public MainWindowTest {
 protected:
  QPlainTextEdit* text() { return control<QPlainTextEdit>("RichEdit1"); }
  QTextEdit* report() { return control<QTextEdit>("RichEdit2"); }
  bool progressShown() { return control("StaticText1")->isVisible(); }
};

// Regression: a close request in the last part of a check (after the walk) was dropped, and
// the program kept running after the summary.
TEST_F(LifecycleTest, CloseRequestsAreNeverLost) {
  enum When { DuringWalk, AfterWalk };
  for (When when : {DuringWalk, AfterWalk}) {
    for (bool closeBox : {false, true}) {
      SCOPED_TRACE(::testing::Message() << (when == DuringWalk ? "during the walk" : "after it")
                                        << (closeBox ? ", frame close box" : ", quit button"));
      if (!window().isVisible()) {
        TearDown();
        SetUp();
      }
      text()->setPlainText(longText());
      MessageBoxAnswerer answerer;
      bool walkSeen = false, asked = false;
      QTimer during;
      QObject::connect(&during, &QTimer::timeout, [&] {
        walkSeen = walkSeen || progressShown();
        const bool now = when == DuringWalk ? progressShown() : walkSeen && !progressShown();
        if (!now || asked) return;
        asked = true;
        closeBox ? (void)window().close() : window().Button2Click();
      });
      during.start(0);
      window().ComboBox1->setCurrentIndex(0);
      QElapsedTimer clock;
      window().Button1Click();
      clock.start();
      ASSERT_TRUE(asked);
      EXPECT_FALSE(window().isVisible());
      EXPECT_TRUE(answerer.seen.empty()) << "no summary";
      EXPECT_EQ(window().results(), nullptr) << "the lists are released";
    }
  }
}

// Regression: copy during a check emptied the clipboard, as the box held a stand-in.
TEST_F(LifecycleTest, CopyDuringACheckCopiesTheTextAsItStands) {
  const QString plain = longText();
  text()->setPlainText(plain);
  QGuiApplication::clipboard()->setText(QStringLiteral("前のクリップボード"));
  MessageBoxAnswerer answerer;
  bool copied = false;
  QTimer during;
  QObject::connect(&during, &QTimer::timeout, [&] {
    if (copied || !progressShown()) return;
    copied = true;
    window().Button3Click();
  });
  QSignalSpy copyDone(window().RichEdit1, &ui::PasteBox::copyFinished);
  during.start(0);
  window().Button1Click();
  ASSERT_TRUE(copied);
  // A text this long is copied on a worker.
  ASSERT_TRUE(copyDone.count() > 0 || copyDone.wait(20000));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), plain);
  EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasHtml());
}

// Regression: a failure inside the pass left the box with redrawing off and the progress box
// up. The view is unwound half-way, as an exception would leave it.
TEST_F(LifecycleTest, EveryWayOutOfThePassRestoresTheBox) {
  text()->setPlainText(QStringLiteral("漢字"));
  {
    ui::WindowCheckView view(window());
    view.text();
    view.beginTextUpdate();
    view.setProgressVisible(true);
    view.setSelectionStart(0);
    view.setSelectionLength(2);
    view.setSelectionColor(checker::TextColor::Red);
    ASSERT_FALSE(text()->updatesEnabled());
  }
  EXPECT_TRUE(text()->updatesEnabled());
  EXPECT_FALSE(progressShown());
  EXPECT_EQ(text()->toPlainText(), QStringLiteral("漢字"));
}

TEST_F(LifecycleTest, PasteIsOneUndoStepAndChecksKeepTheTypingHistory) {
  text()->setFocus();
  typeText(text(), QStringLiteral("先生"));
  QGuiApplication::clipboard()->setText(QStringLiteral("貼った文"));
  window().Button4Click();
  ASSERT_EQ(text()->toPlainText(), QStringLiteral("貼った文"));
  QTest::keyClick(text(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(text()->toPlainText(), QStringLiteral("先生")) << "undo brings back the old text";
  QTest::keyClick(text(), Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(text()->toPlainText(), QStringLiteral("貼った文"));

  // Regression: a check wiped the typing history.
  // Typing away from the pasted text's end, so it is a step of its own.
  QTextCursor start = text()->textCursor();
  start.movePosition(QTextCursor::Start);
  text()->setTextCursor(start);
  typeText(text(), QStringLiteral("今日"));
  ASSERT_EQ(text()->toPlainText(), QStringLiteral("今日貼った文"));
  MessageBoxAnswerer answerer;
  for (int i = 0; i < 2; ++i) window().Button1Click();
  ASSERT_EQ(answerer.seen.size(), 2u);
  QTest::keyClick(text(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(text()->toPlainText(), QStringLiteral("貼った文")) << "the typing, not a check";
  QTest::keyClick(text(), Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(text()->toPlainText(), QStringLiteral("今日貼った文")) << "redo";
  QTest::keyClick(text(), Qt::Key_Z, Qt::ControlModifier);
  QTest::keyClick(text(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(text()->toPlainText(), QStringLiteral("先生"));
}

// Regression: once a later edit was undone, undo stopped passing over the check's colours and
// took back only them.
TEST_F(LifecycleTest, UndoPassesOverTheColoursAfterOtherStepsWereUndone) {
  text()->setPlainText(QStringLiteral("漢字"));
  text()->setFocus();
  QTextCursor end = text()->textCursor();
  end.movePosition(QTextCursor::End);
  text()->setTextCursor(end);
  typeText(text(), QStringLiteral("だ"));
  MessageBoxAnswerer answerer;
  window().Button1Click();
  QTextCursor start = text()->textCursor();
  start.movePosition(QTextCursor::Start);
  text()->setTextCursor(start);
  typeText(text(), QStringLiteral("「"));
  ASSERT_EQ(text()->toPlainText(), QStringLiteral("「漢字だ"));
  QTest::keyClick(text(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(text()->toPlainText(), QStringLiteral("漢字だ"));
  QTest::keyClick(text(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(text()->toPlainText(), QStringLiteral("漢字")) << "the typing before the check";
  QTest::keyClick(text(), Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(text()->toPlainText(), QStringLiteral("漢字だ"));
  QTest::keyClick(text(), Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(text()->toPlainText(), QStringLiteral("「漢字だ"));
  // A new edit where the colours stood drops them from the history: undo is plain again.
  QTest::keyClick(text(), Qt::Key_Z, Qt::ControlModifier);
  QTest::keyClick(text(), Qt::Key_Z, Qt::ControlModifier);
  typeText(text(), QStringLiteral("を"));
  QTest::keyClick(text(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(text()->toPlainText(), QStringLiteral("漢字"));
}

TEST_F(LifecycleTest, ChecksOfAFreshTextAddNoUndoStep) {
  text()->setPlainText(QStringLiteral("漢字"));
  MessageBoxAnswerer answerer;
  window().Button1Click();
  EXPECT_EQ(text()->document()->availableUndoSteps(), 0) << "colours are no edit";
  EXPECT_TRUE(text()->document()->isUndoRedoEnabled());
}

TEST(Placement, FramesStayInsideTheAvailableArea) {
  const QRect screen(0, 0, 911, 512);  // 1366 x 768 at 150 %
  struct Case {
    QRect frame, placed;
  } cases[] = {
      {{0, 0, 400, 300}, {256, 106, 400, 300}},  // fits: centred
      {{0, 0, 800, 630}, {56, 0, 800, 630}},     // too tall: the top stays on the screen
      {{0, 0, 1000, 630}, {0, 0, 1000, 630}},    // too large: the top-left corner stays
  };
  for (const Case& c : cases)
    EXPECT_EQ(ui::placedFrame(c.frame, screen), c.placed) << c.frame.width();
  EXPECT_EQ(ui::placedFrame({0, 0, 400, 300}, screen.translated(50, 30)).topLeft(),
            QPoint(306, 136))
      << "an area that does not start at the origin";
}

}  // namespace
}  // namespace torvane::testing
