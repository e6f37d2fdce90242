// The class settings: the dialog's lists (its model first, then the widgets), its files, and the
// window that checks with what it keeps.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include "checker/table_sets.h"
#include "message_box_answerer.h"
#include "ui/dialogs/class_settings/allowed_words_model.h"
#include "ui/dialogs/class_settings/class_settings_dialog.h"
#include "window_fixture.h"

namespace torvane::ui {
namespace {

using testing::MessageBoxAnswerer;

const checker::Classifier& tables1989() {
  return checker::classifierFor(tables::TableSet::Tables1989);
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QString typedText(const ClassSettingsDialog& dialog, const char* name) {
  return dialog.findChild<QPlainTextEdit*>(QString::fromLatin1(name))->toPlainText();
}

TEST(AllowedWordsModel, CountsBelongToTheWordsTheyWereMadeFor) {
  AllowedWordsModel model;
  model.setWords({"岡山", "鹿児島"});
  EXPECT_EQ(model.rowCount(), 2);
  EXPECT_EQ(model.index(0, 1).data().toString(), QStringLiteral("…"));
  model.setCounts({"岡山"}, {4});  // counted before 鹿児島 was typed: ignored
  EXPECT_FALSE(model.count(0));
  model.setCounts({"岡山", "鹿児島"}, {4, 0});
  EXPECT_EQ(model.index(0, 0).data().toString(), QStringLiteral("岡山"));
  EXPECT_EQ(model.index(0, 1).data().toString(), QStringLiteral("4 箇所"));
  EXPECT_EQ(model.index(1, 1).data().toString(), QStringLiteral("0 箇所"));
}

TEST(ClassSettingsDialog, KnownKanjiByStageAndWhatIsNoKanjiListedAsIgnored) {
  ClassSettingsDialog dialog({}, tables1989(), QString());
  auto* known = dialog.findChild<QPlainTextEdit*>(QStringLiteral("KnownEdit"));
  testing::typeText(known, QStringLiteral("岡城漢やA岡"));
  const QString groups = dialog.findChild<QLabel*>(QStringLiteral("KnownGroups"))->text();
  EXPECT_EQ(groups, QStringLiteral("小学三年で習う漢字：漢\n小学六年で習う漢字：城\n"
                                   "中学までに習わない(漢)字：岡\n"
                                   "漢字でないので無視する文字：や A"));
  EXPECT_EQ(dialog.settings()->known, (std::vector<char32_t>{U'城', U'岡', U'漢'}));
}

TEST(ClassSettingsDialog, AllowedWordsCountedInTheText) {
  ClassSettingsDialog dialog({}, tables1989(), QStringLiteral("岡山県の岡山市と岡田"));
  auto* allowed = dialog.findChild<QPlainTextEdit*>(QStringLiteral("AllowedEdit"));
  allowed->setPlainText(QStringLiteral("岡山\n岡山県\n# 地名\n鹿児島\n"));
  AllowedWordsModel* model = dialog.allowedModel();
  ASSERT_TRUE(QTest::qWaitFor([&] { return model->rowCount() == 3 && model->count(2); }, 5000));
  EXPECT_EQ(*model->count(0), 1u) << "岡山県 takes the first 岡山";
  EXPECT_EQ(*model->count(1), 1u);
  EXPECT_EQ(*model->count(2), 0u);
}

TEST(ClassSettingsDialog, AFailedImportLeavesTheListsAsTheyWere) {
  QTemporaryDir dir;
  const QString bad = dir.filePath(QStringLiteral("bad.txt"));
  const QString longer = dir.filePath(QStringLiteral("long.txt"));
  writeFile(bad, "岡\n\xff\n");
  writeFile(longer, "岡山\n" + QString(101, QChar(u'岡')).toUtf8() + "\n");
  ClassSettingsDialog dialog({{U'漢'}, {"岡山"}, true}, tables1989(), QString());
  MessageBoxAnswerer answerer;
  EXPECT_FALSE(dialog.importKnown(bad));
  EXPECT_FALSE(dialog.importAllowed(longer));
  EXPECT_FALSE(dialog.importAllowed(dir.filePath(QStringLiteral("missing.txt"))));
  ASSERT_EQ(answerer.seen.size(), 3u);
  EXPECT_EQ(answerer.seen[0].text,
            QStringLiteral("bad.txt の 2 行目は UTF-8 の文字として読めません。"));
  EXPECT_EQ(answerer.seen[1].text, QStringLiteral("long.txt の 2 行目が 100 文字を超えています。"));
  EXPECT_EQ(answerer.seen[2].text, QStringLiteral("missing.txt を読み込めませんでした。"));
  EXPECT_EQ(typedText(dialog, "KnownEdit"), QStringLiteral("漢\n"));
  EXPECT_EQ(typedText(dialog, "AllowedEdit"), QStringLiteral("岡山\n"));
}

TEST(ClassSettingsDialog, ExportsReadBackInTheCommandLinesFormats) {
  QTemporaryDir dir;
  const QString knownFile = dir.filePath(QStringLiteral("known.txt"));
  const QString allowedFile = dir.filePath(QStringLiteral("allowed.txt"));
  ClassSettingsDialog dialog({{U'岡', U'鷗'}, {"岡山", "森鷗外"}, false}, tables1989(), QString());
  ASSERT_TRUE(dialog.exportKnown(knownFile));
  ASSERT_TRUE(dialog.exportAllowed(allowedFile));
  QFile known(knownFile), allowed(allowedFile);
  ASSERT_TRUE(known.open(QIODevice::ReadOnly) && allowed.open(QIODevice::ReadOnly));
  EXPECT_EQ(known.readAll(), QByteArray("岡鷗\n"));
  EXPECT_EQ(allowed.readAll(), QByteArray("岡山\n森鷗外\n"));

  ClassSettingsDialog other({}, tables1989(), QString());
  ASSERT_TRUE(other.importKnown(knownFile));
  ASSERT_TRUE(other.importAllowed(allowedFile));
  EXPECT_EQ(*other.settings(), (checker::ClassSettings{{U'岡', U'鷗'}, {"岡山", "森鷗外"}, false}));
}

TEST(ClassSettingsDialog, ATypedWordTooLongKeepsTheDialogOpenWithTheWords) {
  ClassSettingsDialog dialog({}, tables1989(), QString());
  const QString words = QStringLiteral("岡山\n") + QString(101, QChar(u'あ'));
  dialog.findChild<QPlainTextEdit*>(QStringLiteral("AllowedEdit"))->setPlainText(words);
  MessageBoxAnswerer answerer;
  dialog.accept();
  ASSERT_EQ(answerer.seen.size(), 1u);
  EXPECT_EQ(answerer.seen[0].text, QStringLiteral("許可語 の 2 行目が 100 文字を超えています。"));
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(typedText(dialog, "AllowedEdit"), words);
}

class ClassSettingsWindowTest : public testing::MainWindowTest {
 protected:
  void TearDown() override {
    window().setClassSettings({});  // the next test starts with none kept
    MainWindowTest::TearDown();
  }
  QColor colourAt(int position) {
    QTextCursor cursor(control<QPlainTextEdit>("RichEdit1")->document());
    cursor.setPosition(position + 1);  // the format of the character before the cursor
    const QTextCharFormat format = cursor.charFormat();
    return format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color()
                                                            : QColor(0, 0, 0);
  }
  QString label() { return control<QLabel>("TablesLabel")->text(); }
};

TEST_F(ClassSettingsWindowTest, AKnownKanjiAndAnAllowedWordAreBlackAfterACheck) {
  // 岡 stands in no 1989 table; 鷗 is outside Shift_JIS; 県 is taught in grade 3.
  control<QPlainTextEdit>("RichEdit1")->setPlainText(QStringLiteral("岡山県と岡田、鷗"));
  window().setClassSettings({{U'鷗'}, {"岡山県"}, false});
  EXPECT_EQ(label(), QStringLiteral("判定表：1989年告示・習った漢字 1・許可語 1"));
  MessageBoxAnswerer answerer;
  window().ComboBox1->setCurrentIndex(0);
  window().Button1Click();
  ASSERT_EQ(answerer.seen.size(), 1u);
  EXPECT_EQ(answerer.seen[0].text, QStringLiteral("1 種 1 箇所の問題が見つかりました。"));
  const QColor red(255, 0, 0), black(0, 0, 0);
  const std::vector<QColor> expected = {black, black, black, black, red, black, black, black};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(colourAt(i), expected[i]) << i;
  // The report keeps its sections: 岡 and 鷗 still beyond, 県 still in grade 3.
  const QString report = control<QTextEdit>("RichEdit2")->toPlainText();
  EXPECT_TRUE(report.contains(QStringLiteral("中学までに習わない(漢)字 -----\n岡,鷗")))
      << report.toStdString();
  EXPECT_TRUE(report.contains(QStringLiteral("小学三年で習う漢字   ------\n県")));
}

TEST_F(ClassSettingsWindowTest, TheSettingsAreKeptForTheNextStartAndChangingThemChecksNothing) {
  MessageBoxAnswerer answerer;
  window().setClassSettings({{U'城', U'岡'}, {"鹿児島"}, true});
  QTest::qWait(20);
  EXPECT_TRUE(answerer.seen.empty()) << "no check";
  MainWindowTest::TearDown();
  MainWindowTest::SetUp();
  EXPECT_EQ(window().classSettings(), (checker::ClassSettings{{U'城', U'岡'}, {"鹿児島"}, true}));
  EXPECT_EQ(label(), QStringLiteral("判定表：1989年告示・習った漢字 2・許可語 1・読み方も判定"));
  EXPECT_TRUE(window().findChild<QAction*>(QStringLiteral("ClassSettingsAction"))->isEnabled());
}

}  // namespace
}  // namespace torvane::ui
