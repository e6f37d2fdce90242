#include <QClipboard>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextTable>
#include <QTimer>
#include <QUnhandledException>

#include <new>
#include <stdexcept>

#include "checker/report.h"
#include "message_box_answerer.h"
#include "ui/window/message_boxes.h"
#include "window_fixture.h"

namespace torvane::testing {
namespace {

const QColor kRed(255, 0, 0), kGrey(128, 128, 128), kBlack(0, 0, 0);

class CommandsTest : public MainWindowTest {
 protected:
  QPlainTextEdit* text() { return control<QPlainTextEdit>("RichEdit1"); }
  QTextEdit* report() { return control<QTextEdit>("RichEdit2"); }
  void setText(const QString& plain) { text()->setPlainText(plain); }
  void check(int level) {
    window().ComboBox1->setCurrentIndex(level);
    window().Button1Click();
  }
  // The explicit colour of the character at a document position (black when none is set; a
  // paragraph end is black, as nothing colours it).
  QColor colourAt(int position) {
    const QTextBlock block = text()->document()->findBlock(position);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (position >= fragment.position() && position < fragment.position() + fragment.length()) {
        const QTextCharFormat format = fragment.charFormat();
        return format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color()
                                                                : kBlack;
      }
    }
    return kBlack;
  }
  std::vector<QColor> colours() {
    std::vector<QColor> out;
    for (int i = 0; i + 1 < text()->document()->characterCount(); ++i) out.push_back(colourAt(i));
    return out;
  }
};

TEST_F(CommandsTest, ColoursLandOnExactlyTheCheckedCharacters) {
  // あ 漢 CR/LF 鷗 (outside Shift_JIS) 😀 (two UTF-16 units) Ａ ｱ and a grey symbol α.
  setText(QStringLiteral("あ漢\n鷗😀Ａｱα学"));
  struct Case {
    int level;
    std::vector<QColor> colours;  // per document position
  } cases[] = {
      {0, {kBlack, kRed, kBlack, kRed, kRed, kRed, kRed, kGrey, kGrey, kBlack}},
      {3, {kBlack, kBlack, kBlack, kRed, kRed, kRed, kGrey, kGrey, kGrey, kBlack}},
      {-1, {kBlack, kRed, kBlack, kRed, kRed, kRed, kRed, kRed, kGrey, kRed}},
  };
  for (const Case& c : cases) {
    MessageBoxAnswerer answerer;
    if (c.level < 0) {
      window().ComboBox1->setEditText(QStringLiteral("高校で"));
      window().Button1Click();
    } else {
      check(c.level);
    }
    EXPECT_EQ(colours(), c.colours) << "level " << c.level;
    EXPECT_FALSE(control("StaticText1")->isVisible());
  }
}

// A variation selector (two UTF-16 units, no bytes of its own) takes the colour of the kanji
// before it; a line separator inside a paragraph is a line break and stays black.
TEST_F(CommandsTest, JoiningCharactersTakeTheColourOfTheCharacterBefore) {
  setText(QStringLiteral("葛\U000E0100飾\u2028漢。\U000E0100"));
  MessageBoxAnswerer answerer;
  check(0);
  EXPECT_EQ(colours(), (std::vector<QColor>{kRed, kRed, kRed, kRed, kBlack, kRed, kBlack, kBlack,
                                            kBlack}));
}

TEST_F(CommandsTest, ReportAndSummary) {
  setText(QStringLiteral("漢字漢"));
  MessageBoxAnswerer answerer;
  check(0);
  EXPECT_EQ(report()->toPlainText(),
            QStringLiteral("  ------   小学三年で習う漢字   ------\n漢\n\n  ------   "
                           "小学一年で習う漢字   ------\n字"));
  ASSERT_EQ(answerer.seen.size(), 1u);
  const auto& box = answerer.seen[0];
  EXPECT_EQ(box.title, QStringLiteral("警告"));
  EXPECT_EQ(box.text, QStringLiteral("1 種 2 箇所の問題が見つかりました。"));
  EXPECT_EQ(box.icon, QMessageBox::Warning);
  EXPECT_EQ(box.button, QStringLiteral("OK"));
  EXPECT_TRUE(box.okIsDefaultAndEscape);
  EXPECT_TRUE(box.modal);
  EXPECT_LE(box.offCentre, 2) << "centred on the screen";
  // The selection ends on the last coloured span.
  EXPECT_EQ(text()->textCursor().selectionStart(), 2);
  EXPECT_EQ(text()->textCursor().selectionEnd(), 3);

  setText(QStringLiteral("ひらがな"));
  check(0);
  ASSERT_EQ(answerer.seen.size(), 2u);
  EXPECT_EQ(answerer.seen[1].title, QStringLiteral("情報"));
  EXPECT_EQ(answerer.seen[1].text, QStringLiteral("問題は見つかりませんでした。"));
  EXPECT_EQ(answerer.seen[1].icon, QMessageBox::Information);
  EXPECT_EQ(report()->toPlainText(), QString());
}

TEST_F(CommandsTest, CheckingTwiceGivesTheSameResult) {
  setText(QStringLiteral("学校で漢字をＡＢＣと習う。\nカタカナ、鬱"));
  MessageBoxAnswerer answerer;
  check(1);
  const auto first = colours();
  const QString firstReport = report()->toPlainText();
  check(1);
  EXPECT_EQ(colours(), first);
  EXPECT_EQ(report()->toPlainText(), firstReport);
  ASSERT_EQ(answerer.seen.size(), 2u);
  EXPECT_EQ(answerer.seen[0].text, answerer.seen[1].text);
}

TEST_F(CommandsTest, PastePlainTextTakesTheBoxFormatAndClearsTheReport) {
  report()->setPlainText(QStringLiteral("old report"));
  QGuiApplication::clipboard()->setText(QStringLiteral("漢字\nかな"));
  window().Button4Click();
  EXPECT_EQ(text()->toPlainText(), QStringLiteral("漢字\nかな"));
  EXPECT_EQ(report()->toPlainText(), QString());
  EXPECT_EQ(colourAt(0), kBlack);
}

TEST_F(CommandsTest, PasteHtmlKeepsFormattingButNoPicturesTablesOrLinks) {
  auto* mime = new QMimeData;
  mime->setHtml(QStringLiteral(
      "<p><b>太字</b><span style='color:#0000ff'>青</span><img src='file:///etc/hostname'>"
      "<a href='https://example.invalid/'>リンク</a></p>"
      "<table><tr><td>表</td></tr></table><p><i>斜体</i></p>"));
  QGuiApplication::clipboard()->setMimeData(mime);
  window().Button4Click();
  const QString plain = text()->toPlainText();
  EXPECT_FALSE(plain.contains(QChar::ObjectReplacementCharacter)) << "no picture";
  EXPECT_TRUE(plain.contains(QStringLiteral("太字青リンク")));
  EXPECT_TRUE(plain.contains(QStringLiteral("斜体")));
  QTextCursor cursor(text()->document());
  cursor.setPosition(1);
  EXPECT_TRUE(cursor.charFormat().font().bold()) << "bold kept";
  cursor.setPosition(3);
  EXPECT_EQ(cursor.charFormat().foreground().color(), QColor(0, 0, 255)) << "colour kept";
  cursor.setPosition(plain.indexOf(QStringLiteral("リンク")) + 1);
  EXPECT_FALSE(cursor.charFormat().isAnchor()) << "no link";
  for (QTextBlock block = text()->document()->begin(); block.isValid(); block = block.next()) {
    QTextCursor at(block);
    EXPECT_EQ(at.currentTable(), nullptr) << "no table";
  }
}

TEST_F(CommandsTest, PasteOfAnEmptyClipboardLeavesBothBoxesEmpty) {
  setText(QStringLiteral("前の文章"));
  report()->setPlainText(QStringLiteral("前の報告"));
  QGuiApplication::clipboard()->clear();
  MessageBoxAnswerer answerer;
  window().Button4Click();
  QTest::qWait(20);
  EXPECT_EQ(text()->toPlainText(), QString());
  EXPECT_EQ(report()->toPlainText(), QString());
  EXPECT_TRUE(answerer.seen.empty()) << "no message";
}

TEST_F(CommandsTest, PasteAfterACheckStartsBlack) {
  setText(QStringLiteral("漢"));
  MessageBoxAnswerer answerer;
  check(0);
  ASSERT_EQ(colourAt(0), kRed);
  QGuiApplication::clipboard()->setText(QStringLiteral("漢"));
  window().Button4Click();
  EXPECT_EQ(colourAt(0), kBlack);
  EXPECT_EQ(report()->toPlainText(), QString());
  EXPECT_NE(window().results(), nullptr);
  EXPECT_EQ(window().results()->ProblemOccurrences.size(), 1u)
      << "the lists wait for the next check";
}

TEST_F(CommandsTest, CopyPutsTheColouredTextOnTheClipboard) {
  setText(QStringLiteral("漢字ア"));
  MessageBoxAnswerer answerer;
  check(0);
  window().Button3Click();
  const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(copied, nullptr);
  EXPECT_EQ(copied->text(), QStringLiteral("漢字ア"));
  EXPECT_TRUE(copied->hasHtml());
  EXPECT_TRUE(copied->html().contains(QStringLiteral("#ff0000"))) << "red";
  EXPECT_TRUE(copied->html().contains(QStringLiteral("#808080"))) << "grey";
  EXPECT_TRUE(copied->hasFormat(QStringLiteral("application/vnd.oasis.opendocument.text")));
  EXPECT_EQ(text()->textCursor().selectionStart(), 0);
  EXPECT_EQ(text()->textCursor().selectionEnd(), 3) << "the selection stays on the whole text";
}

// A text long enough that the pass runs the event loop many times.
QString longText() {
  return QStringLiteral("漢字のテスト、ABC。\n").repeated(20000);
}

TEST_F(CommandsTest, DuringAPassSecondCheckPasteAndEditsAreIgnoredAndTheLevelIsLive) {
  setText(longText().repeated(4));  // a walk long enough for several runs of the event loop
  const QString before = text()->toPlainText();
  QGuiApplication::clipboard()->setText(QStringLiteral("別の文章"));
  MessageBoxAnswerer answerer;
  bool triedDuringPass = false;
  // At the first run of the event loop during the walk (at least 15 ms into it, so its first
  // characters are done), try everything it must ignore and change the level.
  QTimer during;
  QObject::connect(&during, &QTimer::timeout, [&] {
    if (triedDuringPass || !control("StaticText1")->isVisible()) return;  // the walk is on
    triedDuringPass = true;
    window().Button1Click();
    window().Button4Click();
    typeText(text(), QStringLiteral("あ"));
    window().ComboBox1->setCurrentIndex(6);  // from here on, every kanji is allowed
  });
  during.start(1);
  check(0);
  ASSERT_TRUE(triedDuringPass);
  EXPECT_EQ(text()->toPlainText(), before);
  EXPECT_EQ(answerer.seen.size(), 1u) << "one check, one summary";
  EXPECT_EQ(colourAt(0), kRed) << "漢 at level 0";
  const int last = before.lastIndexOf(QStringLiteral("漢"));
  EXPECT_EQ(colourAt(last), kBlack) << "漢 after the level was changed";
  EXPECT_FALSE(text()->isReadOnly()) << "editable again";
}

TEST_F(CommandsTest, QuittingDuringAPassStopsItAndCloses) {
  for (bool closeBox : {false, true}) {
    SCOPED_TRACE(closeBox ? "frame close box" : "quit button");
    if (!window().isVisible()) {
      TearDown();
      SetUp();
    }
    setText(longText().repeated(4));
    MessageBoxAnswerer answerer;
    QTimer during;
    QObject::connect(&during, &QTimer::timeout, [&] {
      if (!control("StaticText1")->isVisible()) return;  // wait for the walk
      during.stop();
      closeBox ? (void)window().close() : window().Button2Click();
    });
    during.start(1);
    check(0);
    EXPECT_FALSE(window().isVisible());
    EXPECT_TRUE(answerer.seen.empty()) << "no summary";
    EXPECT_EQ(report()->toPlainText(), QString()) << "no report";
    EXPECT_EQ(window().results(), nullptr) << "the lists are released once the pass stopped";
  }
}

TEST_F(CommandsTest, UnexpectedFailuresShowTheStopIconAndTheApplicationTitle) {
  MessageBoxAnswerer answerer;
  ui::showFailure(QStringLiteral("RichEdit での行の挿入エラー"));
  ASSERT_EQ(answerer.seen.size(), 1u);
  EXPECT_EQ(answerer.seen[0].icon, QMessageBox::Critical);
  EXPECT_EQ(answerer.seen[0].text, QStringLiteral("RichEdit での行の挿入エラー."));
  EXPECT_EQ(answerer.seen[0].title, QStringLiteral("commands_test"));
}

// Regression: a worker's failure that carried no exception reached the failure box as an empty
// message.
TEST(FailureMessage, EveryFailureSaysWhatFailed) {
  const QString check = QStringLiteral("チェック");
  const auto wrapped = [](std::exception_ptr inner) {
    return std::make_exception_ptr(QUnhandledException(std::move(inner)));
  };
  const auto lineRefused =
      std::make_exception_ptr(checker::CheckFailure(std::string(checker::kLineRefusedMessage)));
  struct Case {
    const char* what;
    std::exception_ptr failure;
    QString doing, said;
  } cases[] = {
      {"for the user", lineRefused, check, QStringLiteral("RichEdit での行の挿入エラー")},
      {"for the user, from a worker", wrapped(lineRefused), check,
       QStringLiteral("RichEdit での行の挿入エラー")},
      {"empty", std::make_exception_ptr(std::runtime_error("")), check,
       QStringLiteral("チェックに失敗しました（原因不明）")},
      {"blank", std::make_exception_ptr(std::runtime_error(" \n")), check,
       QStringLiteral("チェックに失敗しました（原因不明）")},
      {"empty, meant for the user", std::make_exception_ptr(checker::CheckFailure("")), check,
       QStringLiteral("チェックに失敗しました（原因不明）")},
      {"a worker's, with nothing inside", std::make_exception_ptr(QUnhandledException()), check,
       QStringLiteral("チェックに失敗しました（原因不明）")},
      {"no std::exception", std::make_exception_ptr(42), check,
       QStringLiteral("チェックに失敗しました（原因不明）")},
      {"none", std::exception_ptr(), check, QStringLiteral("チェックに失敗しました（原因不明）")},
      {"a lower layer's", std::make_exception_ptr(std::runtime_error("iconv stopped")), check,
       QStringLiteral("チェックに失敗しました（iconv stopped）")},
      {"memory", wrapped(std::make_exception_ptr(std::bad_alloc())), check,
       QStringLiteral("チェックに必要なメモリが足りません")},
      {"a command not named", std::make_exception_ptr(std::runtime_error("")), QString(),
       QStringLiteral("処理に失敗しました（原因不明）")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ui::failureMessage(c.failure, c.doing).toStdString(), c.said.toStdString()) << c.what;
  }
}

TEST_F(CommandsTest, AnEmptyFailureMessageStillSaysSomethingFailed) {
  MessageBoxAnswerer answerer;
  ui::showFailure(QString());
  ASSERT_EQ(answerer.seen.size(), 1u);
  EXPECT_EQ(answerer.seen[0].text, QStringLiteral("処理に失敗しました（原因不明）."));
  EXPECT_EQ(answerer.seen[0].icon, QMessageBox::Critical);
}

}  // namespace
}  // namespace torvane::testing
