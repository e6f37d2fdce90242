// 「読み方も判定する」 in the window: after the check, the report gains 読み方がまだ習わない漢字
// and each such kanji a dotted underline, which the next check takes off again.
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextEdit>

#include "message_box_answerer.h"
#include "window_fixture.h"

namespace torvane::testing {
namespace {

class ReadingNotesWindowTest : public MainWindowTest {
 protected:
  void TearDown() override {
    window().setClassSettings({});  // the next test starts with none kept
    MainWindowTest::TearDown();
  }
  void checkReadings(bool on) { window().setClassSettings({{}, {}, on}); }
  QPlainTextEdit* text() { return control<QPlainTextEdit>("RichEdit1"); }
  QTextEdit* report() { return control<QTextEdit>("RichEdit2"); }
  void check(int level) {
    window().ComboBox1->setCurrentIndex(level);
    window().Button1Click();
  }
  // The positions of the box whose character is underlined with dots.
  std::vector<int> dotted() {
    std::vector<int> out;
    for (QTextBlock block = text()->document()->begin(); block.isValid(); block = block.next()) {
      for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (f.charFormat().underlineStyle() != QTextCharFormat::DotLine) continue;
        for (int p = f.position(); p < f.position() + f.length(); ++p) out.push_back(p);
      }
    }
    return out;
  }
};

TEST_F(ReadingNotesWindowTest, TheReportListsTheReadingsAndTheBoxUnderlinesTheirKanji) {
  text()->setPlainText(QStringLiteral("上人と生糸。\n上人"));
  MessageBoxAnswerer answerer;
  checkReadings(true);
  check(5);
  // No kanji is red at level 5, so the check's report is the list of the text's kanji alone.
  EXPECT_TRUE(report()->toPlainText().endsWith(
      QStringLiteral("\n\n  ------   読み方がまだ習わない漢字   ------\n"
                     "上（しょう）　高校で習う読み　上人　2 箇所\n"
                     "生（き）　中学で習う読み　生糸　1 箇所")))
      << report()->toPlainText().toStdString();
  EXPECT_EQ(dotted(), (std::vector<int>{0, 3, 7}));
  ASSERT_EQ(answerer.seen.size(), 1u);  // the summary, and no box of the notes' own

  // Off again: the next check takes the underlines off and adds no section.
  checkReadings(false);
  check(5);
  EXPECT_EQ(dotted(), std::vector<int>{});
  EXPECT_FALSE(report()->toPlainText().contains(QStringLiteral("読み方がまだ習わない漢字")));
}

TEST_F(ReadingNotesWindowTest, OffUnlessChosenAndNothingWithoutNotes) {
  text()->setPlainText(QStringLiteral("上人と生糸。"));
  MessageBoxAnswerer answerer;
  check(5);
  EXPECT_EQ(dotted(), std::vector<int>{});
  EXPECT_FALSE(report()->toPlainText().contains(QStringLiteral("読み方がまだ習わない漢字")));
  // On, with a typed level that is none of the entries (every kanji red): nothing is judged.
  checkReadings(true);
  window().ComboBox1->setEditText(QStringLiteral("高校で"));
  window().Button1Click();
  const QString before = report()->toPlainText();
  EXPECT_FALSE(before.contains(QStringLiteral("読み方がまだ習わない漢字")));
  EXPECT_EQ(dotted(), std::vector<int>{});
}

TEST_F(ReadingNotesWindowTest, KnownKanjiAndAllowedWordsGiveNoNote) {
  // 生 known (a first-grade kanji all the same, so its note comes from the setting alone) and
  // 上人 allowed: of the three notes, only 今 of 今上 remains.
  text()->setPlainText(QStringLiteral("上人と生糸。今上"));
  MessageBoxAnswerer answerer;
  window().setClassSettings({{U'生'}, {"上人"}, true});
  check(5);
  EXPECT_EQ(dotted(), (std::vector<int>{6}));
  EXPECT_TRUE(report()->toPlainText().endsWith(QStringLiteral(
      "読み方がまだ習わない漢字   ------\n今（きん）　中学で習う読み　今上　1 箇所")))
      << report()->toPlainText().toStdString();
}

}  // namespace
}  // namespace torvane::testing
