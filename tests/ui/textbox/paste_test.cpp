// The upper box's paste when it goes wrong: the box stays as it was, and the window says so.
#include <QClipboard>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextBlock>

#include <new>
#include <stdexcept>

#include "message_box_answerer.h"
#include "ui/textbox/paste_job.h"
#include "window_fixture.h"

namespace torvane::testing {
namespace {

class PasteTest : public MainWindowTest {
 protected:
  ui::PasteBox* box() { return window().RichEdit1; }
  // Every character's colour as the document holds it, in order.
  QList<QColor> colours() {
    QList<QColor> out;
    for (QTextBlock block = box()->document()->begin(); block.isValid(); block = block.next()) {
      for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        for (int i = 0; i < fragment.length(); ++i)
          out.push_back(fragment.charFormat().foreground().color());
      }
    }
    return out;
  }
  void waitForThePaste() {
    ASSERT_TRUE(QTest::qWaitFor([&] { return !box()->isPasting(); }, 20000));
  }
};

QString htmlOf(qsizetype paragraphs) {
  return QStringLiteral("<p>貼った<b>文</b>です。</p>").repeated(paragraphs);
}

// Regression: the old text was removed before the HTML was parsed, and a failure on the parsing
// worker was thrown again inside a slot, which ended the program.
TEST_F(PasteTest, AFailedPasteLeavesTheBoxAsItWasAndShowsWhy) {
  const struct Case {
    const char* what;
    qsizetype paragraphs;  // 10000 make more HTML than is parsed at once
    bool outOfMemory;
  } cases[] = {
      {"parsed at once, a failure", 10, false},
      {"parsed at once, out of memory", 10, true},
      {"parsed on the worker, a failure", 10000, false},
      {"parsed on the worker, out of memory", 10000, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    box()->setPlainText(QStringLiteral("漢字の文"));
    MessageBoxAnswerer answerer;
    window().ComboBox1->setCurrentIndex(0);
    window().Button1Click();  // red colours and a report
    box()->setFocus();
    QTextCursor end(box()->document());
    end.movePosition(QTextCursor::End);
    box()->setTextCursor(end);
    typeText(box(), QStringLiteral("だ"));  // a step of the history
    const QString text = box()->toPlainText();
    const QList<QColor> before = colours();
    const QString report = window().RichEdit2->toPlainText();
    const int steps = box()->document()->availableUndoSteps();
    ASSERT_FALSE(report.isEmpty());

    const bool outOfMemory = c.outOfMemory;
    box()->setHtmlParser([outOfMemory](const QString&) -> QList<ui::PastedParagraph> {
      if (outOfMemory) throw std::bad_alloc();
      throw std::runtime_error("parse");
    });
    auto* mime = new QMimeData;
    mime->setHtml(htmlOf(c.paragraphs));
    QGuiApplication::clipboard()->setMimeData(mime);
    window().Button4Click();
    waitForThePaste();
    QTest::qWait(20);

    EXPECT_EQ(box()->toPlainText(), text);
    EXPECT_EQ(colours(), before);
    EXPECT_EQ(box()->document()->availableUndoSteps(), steps);
    EXPECT_EQ(window().RichEdit2->toPlainText(), report) << "the report stays with its text";
    EXPECT_FALSE(box()->isReadOnly());
    ASSERT_EQ(answerer.seen.size(), 2u) << "the summary, then the failure";
    EXPECT_EQ(answerer.seen[1].icon, QMessageBox::Critical);
    EXPECT_EQ(answerer.seen[1].text, ui::pasteFailureMessage(c.outOfMemory) + u'.');
    // The history is as it was: undo takes back the typing, passing over the check's colours.
    QTest::keyClick(box(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(box()->toPlainText(), QStringLiteral("漢字の文"));
    box()->setHtmlParser(ui::paragraphsFromHtml);
  }
}

TEST_F(PasteTest, ALongHtmlPasteGoesInAsOneStepOnceParsed) {
  box()->setPlainText(QStringLiteral("前の文"));
  window().RichEdit2->setPlainText(QStringLiteral("前の報告"));
  auto* mime = new QMimeData;
  mime->setHtml(htmlOf(10000));
  QGuiApplication::clipboard()->setMimeData(mime);
  window().Button4Click();
  EXPECT_EQ(box()->toPlainText(), QStringLiteral("前の文")) << "nothing is removed before";
  EXPECT_EQ(window().RichEdit2->toPlainText(), QStringLiteral("前の報告"));
  waitForThePaste();
  EXPECT_EQ(box()->document()->blockCount(), 10000);
  EXPECT_EQ(box()->document()->firstBlock().text(), QStringLiteral("貼った文です。"));
  EXPECT_EQ(window().RichEdit2->toPlainText(), QString());
  box()->undoEdit();
  EXPECT_EQ(box()->toPlainText(), QStringLiteral("前の文"));
}

}  // namespace
}  // namespace torvane::testing
