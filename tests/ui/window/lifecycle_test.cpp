// The window never loses a command, a text or a frame: closing, copying, undoing and failing
// around a check.
#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTextDocument>
#include <QTimer>
#include <QWindow>

#include <map>
#include <memory>
#include <optional>

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

// A walk long enough for many runs of the event loop, and every kanji of the Unicode block: a
// report line of thousands of characters, written over several runs.
QString longTextWithLongReport() {
  QString kanji;
  for (char16_t c = 0x4E00; c <= 0x9FA5; ++c) kanji += QChar(c);
  return longText() + kanji;
}

bool summaryUp() {
  return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr;
}

// Regression: a close request in the last part of a check (after the walk, or with the summary
// up) was dropped, and the program kept running after the summary.
TEST_F(LifecycleTest, CloseRequestsAreNeverLost) {
  using ui::CheckStage;
  struct Case {
    CheckStage when;
    bool closeBox;  // the frame's close box (or the session's end), else the quit button
    bool summaryShown;
  } cases[] = {
      {CheckStage::Walking, false, false},   {CheckStage::Walking, true, false},
      {CheckStage::Colouring, false, false}, {CheckStage::Reporting, false, false},
      {CheckStage::Reporting, true, false},  {CheckStage::Summary, true, true},
  };
  const QString checked = longTextWithLongReport();
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "stage " << static_cast<int>(c.when)
                                      << (c.closeBox ? ", close box" : ", quit button"));
    if (!window().isVisible()) {
      TearDown();
      SetUp();
    }
    text()->setPlainText(checked);
    bool asked = false, rescued = false;
    QTimer during;
    QObject::connect(&during, &QTimer::timeout, [&] {
      if (asked || window().checkStage() != c.when) return;
      if (c.when == CheckStage::Summary && !summaryUp()) return;  // wait for the box
      asked = true;
      c.closeBox ? (void)window().close() : window().Button2Click();
    });
    during.start(0);
    // Closes a summary that nothing else closed, so that a failure does not hang the test.
    QTimer rescue;
    QObject::connect(&rescue, &QTimer::timeout, [&] {
      if (!summaryUp()) return;
      rescued = true;
      QApplication::activeModalWidget()->close();
    });
    rescue.start(3000);
    std::unique_ptr<MessageBoxAnswerer> answerer;
    if (!c.summaryShown) answerer = std::make_unique<MessageBoxAnswerer>();
    window().Button1Click();
    ASSERT_TRUE(asked);
    EXPECT_FALSE(window().isVisible());
    EXPECT_FALSE(rescued) << "the summary closes with the window";
    if (answerer) {
      EXPECT_TRUE(answerer->seen.empty()) << "no summary";
    }
    EXPECT_EQ(window().results(), nullptr) << "the lists are released";
  }
}

// Regression: a click on 終了する pressed as the report ended lost its release to the summary
// box, which opened in between, and the program kept running.
TEST_F(LifecycleTest, AQuitClickUnderWayWhenTheReportEndsStillQuits) {
  text()->setPlainText(longTextWithLongReport());
  MessageBoxAnswerer answerer;
  // Through the window, as the window system delivers input, so that a modal box blocks it.
  QWindow* frame = window().windowHandle();
  const QPoint quit = window().Button2->mapTo(&window(), window().Button2->rect().center());
  bool pressed = false, released = false;
  QElapsedTimer summaryDue;
  QTimer during;
  QObject::connect(&during, &QTimer::timeout, [&] {
    const ui::CheckStage stage = window().checkStage();
    if (!pressed && stage == ui::CheckStage::Reporting) {
      pressed = true;
      QTest::mousePress(frame, Qt::LeftButton, {}, quit);
    } else if (pressed && stage == ui::CheckStage::Summary && !summaryDue.isValid()) {
      summaryDue.start();
    } else if (summaryDue.isValid() && !released && (summaryDue.elapsed() >= 30 || summaryUp())) {
      released = true;  // a while after the summary was due, as a hand lifts off the button
      QTest::mouseRelease(frame, Qt::LeftButton, {}, quit);
    }
  });
  during.start(0);
  window().Button1Click();
  ASSERT_TRUE(released);
  EXPECT_FALSE(window().isVisible());
  EXPECT_TRUE(answerer.seen.empty()) << "no summary";
}

// Regression: a close that took the event loop a second round to reach the window, as input
// does on its way from the window system, came only once the summary box was up.
TEST_F(LifecycleTest, ACloseOnItsWayWhenTheSummaryIsDueWins) {
  text()->setPlainText(QStringLiteral("漢字"));
  MessageBoxAnswerer answerer;
  bool sent = false;
  QTimer during;
  QObject::connect(&during, &QTimer::timeout, [&] {
    if (sent || window().checkStage() != ui::CheckStage::Summary || summaryUp()) return;
    sent = true;
    QMetaObject::invokeMethod(
        &window(), [this] { QMetaObject::invokeMethod(&window(), [this] { window().close(); }); },
        Qt::QueuedConnection);
  });
  during.start(0);
  window().Button1Click();
  ASSERT_TRUE(sent);
  EXPECT_FALSE(window().isVisible());
  EXPECT_TRUE(answerer.seen.empty()) << "no summary";
}

// The progress box shows the check going on until the summary: the colours the walk found
// and the report going in, not an empty stretch after the walk.
TEST_F(LifecycleTest, TheProgressBoxStaysUpUntilTheSummary) {
  text()->setPlainText(longTextWithLongReport());
  MessageBoxAnswerer answerer;
  std::map<ui::CheckStage, QSet<QString>> shown;
  bool hiddenBeforeSummary = false;
  QTimer during;
  QObject::connect(&during, &QTimer::timeout, [&] {
    const ui::CheckStage stage = window().checkStage();
    if (stage == ui::CheckStage::Walking || stage == ui::CheckStage::Colouring ||
        stage == ui::CheckStage::Reporting) {
      if (!progressShown()) hiddenBeforeSummary = true;
      shown[stage].insert(control<QLabel>("StaticText1")->text());
    }
  });
  during.start(0);
  window().Button1Click();
  ASSERT_EQ(answerer.seen.size(), 1u);
  EXPECT_FALSE(hiddenBeforeSummary);
  for (ui::CheckStage stage : {ui::CheckStage::Colouring, ui::CheckStage::Reporting}) {
    EXPECT_GT(shown[stage].size(), 1u) << "the box moves on, stage " << static_cast<int>(stage);
  }
  EXPECT_FALSE(progressShown()) << "down once the summary came";
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

TEST(Placement, AFrameIsBelievedOnlyWhenItHoldsTheWindow) {
  const QRect client(100, 100, 792, 587);
  struct Case {
    const char* what;
    QRect frame;
    std::optional<QMargins> margins;
  } cases[] = {
      {"a title bar and borders", client.marginsAdded({5, 25, 5, 5}), QMargins(5, 25, 5, 5)},
      {"no frame", client, QMargins()},
      {"the widest frame", client.marginsAdded({128, 128, 128, 128}), QMargins(128, 128, 128, 128)},
      {"wider than any frame", client.marginsAdded({5, 129, 5, 5}), std::nullopt},
      // A window manager that has not yet applied the window's size.
      {"smaller than the window", QRect(100, 100, 1, 1), std::nullopt},
      {"beside the window", client.translated(3, 0), std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ui::believableFrameMargins(c.frame, client), c.margins) << c.what;
}

// Regression: a frame reported smaller than the window, taken at its word, put the window's
// corner at the centre of a 1280 x 1024 screen, half of it off the screen.
TEST(Placement, AnUnbelievableFrameStillPlacesTheWindowInside) {
  const QRect screen(0, 0, 1280, 1024);
  const QRect client(300, 200, 792, 587);
  const QRect reported(300, 200, 0, 0);
  const QRect placed = ui::placedFrame(ui::knownFrame(reported, client), screen);
  EXPECT_TRUE(screen.contains(placed)) << placed.x() << "," << placed.y();
  EXPECT_EQ(placed.size(), client.size());
}

TEST(Placement, KeptInsideMovesTheLeastThatBringsTheFrameIn) {
  const QRect area(0, 0, 1024, 768);
  struct Case {
    QRect frame, kept;
  } cases[] = {
      {{10, 10, 800, 600}, {10, 10, 800, 600}},      // inside: where it is
      {{639, 511, 800, 600}, {224, 168, 800, 600}},  // off the right and the bottom
      {{-50, -20, 800, 600}, {0, 0, 800, 600}},      // off the left and the top
      {{500, 300, 1100, 900}, {0, 0, 1100, 900}},    // larger than the area: the corner inside
  };
  for (const Case& c : cases) EXPECT_EQ(ui::keptInside(c.frame, area), c.kept) << c.frame.x();
}

}  // namespace
}  // namespace torvane::testing
