// The menu bar above the window's controls: the choice of tables, help, and the keyboard.
#include <QAbstractItemView>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTextEdit>
#include <QTimer>

#include "message_box_answerer.h"
#include "window_fixture.h"

namespace torvane::testing {
namespace {

class MenuTest : public MainWindowTest {
 protected:
  QAction* action(const char* name) {
    return window().findChild<QAction*>(QString::fromLatin1(name));
  }
  QString tablesLabel() { return control<QLabel>("TablesLabel")->text(); }
  QStringList menuTitles() {
    QStringList titles;
    for (QAction* menu : control<QMenuBar>("MenuBar")->actions()) titles << menu->text();
    return titles;
  }
};

TEST_F(MenuTest, MenusWithMnemonics) {
  EXPECT_EQ(menuTitles(), (QStringList{QStringLiteral("判定表(&T)"), QStringLiteral("書き換え(&R)"),
                                       QStringLiteral("ヘルプ(&H)")}));
  EXPECT_EQ(action("UsageAction")->shortcut(), QKeySequence(QKeySequence::HelpContents));
}

TEST_F(MenuTest, BuiltInTablesByDefaultAndTheChoiceIsKeptForTheNextStart) {
  QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("torvane"),
            QStringLiteral("torvane"))
      .clear();
  TearDown();
  SetUp();
  EXPECT_TRUE(action("Tables1989Action")->isChecked()) << "no stored choice: the built-in set";
  EXPECT_TRUE(tablesLabel().contains(QStringLiteral("1989"))) << tablesLabel().toStdString();

  action("Tables2020Action")->trigger();
  EXPECT_TRUE(action("Tables2020Action")->isChecked());
  EXPECT_FALSE(action("Tables1989Action")->isChecked()) << "a radio choice";
  EXPECT_TRUE(tablesLabel().contains(QStringLiteral("2020")));

  TearDown();
  SetUp();
  EXPECT_TRUE(action("Tables2020Action")->isChecked()) << "remembered";
  action("Tables1989Action")->trigger();
}

TEST_F(MenuTest, ChoosingTablesDoesNotCheckAgain) {
  control<QPlainTextEdit>("RichEdit1")->setPlainText(QStringLiteral("岡"));
  MessageBoxAnswerer answerer;
  window().Button1Click();
  ASSERT_EQ(answerer.seen.size(), 1u);
  action("Tables2020Action")->trigger();
  QTest::qWait(20);
  EXPECT_EQ(answerer.seen.size(), 1u);
  action("Tables1989Action")->trigger();
}

TEST_F(MenuTest, TheWindowChecksWithTheChosenTables) {
  // 岡 is taught in grade 4 since 2020 and stands in no built-in table.
  control<QPlainTextEdit>("RichEdit1")->setPlainText(QStringLiteral("岡山"));
  window().ComboBox1->setCurrentIndex(3);
  MessageBoxAnswerer answerer;
  window().Button1Click();
  action("Tables2020Action")->trigger();
  window().Button1Click();
  action("Tables1989Action")->trigger();
  ASSERT_EQ(answerer.seen.size(), 2u);
  EXPECT_EQ(answerer.seen[0].text, QStringLiteral("1 種 1 箇所の問題が見つかりました。"));
  EXPECT_EQ(answerer.seen[1].text, QStringLiteral("問題は見つかりませんでした。"));
  EXPECT_TRUE(control<QTextEdit>("RichEdit2")->toPlainText().contains(QStringLiteral("小学四年")));
}

TEST_F(MenuTest, HelpBoxesShowTheVersionAndTheTablesSources) {
  MessageBoxAnswerer answerer;
  action("AboutAction")->trigger();
  action("UsageAction")->trigger();
  ASSERT_EQ(answerer.seen.size(), 2u);
  EXPECT_TRUE(answerer.seen[0].text.contains(QStringLiteral(TORVANE_VERSION)));
  EXPECT_TRUE(answerer.seen[0].text.contains(QStringLiteral("2010年の常用漢字表")));
  EXPECT_TRUE(answerer.seen[0].text.contains(QStringLiteral("LGPL")));
  EXPECT_TRUE(answerer.seen[1].text.contains(QStringLiteral("判定表")));
}

TEST_F(MenuTest, F10AndAltReachTheMenuBarWhileTabAndEnterStayAsTheyWere) {
  auto* bar = control<QMenuBar>("MenuBar");
  QTest::keyClick(control("Button4"), Qt::Key_F10);
  EXPECT_NE(bar->activeAction(), nullptr) << "F10 opens the first menu";
  QTest::keyClick(QApplication::activePopupWidget() ? QApplication::activePopupWidget() : bar,
                  Qt::Key_Escape);
  QTest::keyClick(bar, Qt::Key_Escape);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_MenuBar_AltKeyNavigation), 1);
  EXPECT_EQ(bar->focusPolicy() & Qt::TabFocus, 0) << "Tab never lands on the menu bar";
}

}  // namespace
}  // namespace torvane::testing

namespace torvane::testing {
namespace {

TEST_F(MenuTest, ReadingProposalsAfterACheckOpenTheDialogOnTheRedWords) {
  EXPECT_FALSE(action("ReadingsAction")->isEnabled()) << "nothing checked yet";
  control<QPlainTextEdit>("RichEdit1")->setPlainText(QStringLiteral("学校で漢字を習う。"));
  MessageBoxAnswerer answerer;
  window().ComboBox1->setCurrentIndex(0);
  window().Button1Click();
  ASSERT_TRUE(action("ReadingsAction")->isEnabled());
  action("ReadingsAction")->trigger();
  // The proposals are made on a worker; the item is off meanwhile.
  EXPECT_FALSE(action("ReadingsAction")->isEnabled());
  QDialog* dialog = nullptr;
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        return (dialog = window().findChild<QDialog*>(QStringLiteral("ReadingsDialog"))) != nullptr;
      },
      20000));
  EXPECT_TRUE(action("ReadingsAction")->isEnabled());
  auto* table = dialog->findChild<QAbstractItemView*>();
  ASSERT_NE(table, nullptr);
  QStringList words;
  for (int row = 0; row < table->model()->rowCount(); ++row) {
    words << table->model()->index(row, 0).data().toString() + QLatin1Char('/') +
                 table->model()->index(row, 1).data().toString();
  }
  EXPECT_EQ(words, (QStringList{QStringLiteral("漢字/かんじ"), QStringLiteral("習う/ならう")}))
      << "the grade-1 words 学校 stay as they are at level 0";
  dialog->close();
}

// Regression: Ctrl+T and the help boxes opened during a check, and their boxes held the pass
// and every close request until they were dismissed.
TEST_F(MenuTest, DialogsAreOffWhileACheckRuns) {
  control<QPlainTextEdit>("RichEdit1")
      ->setPlainText(QStringLiteral("漢字のテスト、ABC。\n").repeated(20000));
  const char* const names[] = {"TableChangesAction", "ClassSettingsAction", "UsageAction",
                               "AboutAction"};
  MessageBoxAnswerer answerer;
  bool tried = false, offDuring = true;
  QStringList opened;  // modal windows that came up before the summary
  // A timer of its own: the one below cannot run again while a box it opened is up.
  QTimer rescue;
  QObject::connect(&rescue, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || window().checkStage() == ui::CheckStage::Summary) return;
    opened << modal->objectName();
    modal->close();  // so that a failure does not hang the test
  });
  rescue.start(5);
  QTimer during;
  QObject::connect(&during, &QTimer::timeout, [&] {
    if (tried || window().checkStage() != ui::CheckStage::Walking) return;
    tried = true;
    for (const char* name : names) {
      offDuring = offDuring && !action(name)->isEnabled();
      action(name)->trigger();
    }
    QTest::keyClick(&window(), Qt::Key_T, Qt::ControlModifier);
    QTest::keyClick(&window(), Qt::Key_F1);
  });
  during.start(0);
  window().Button1Click();
  ASSERT_TRUE(tried);
  EXPECT_TRUE(offDuring);
  EXPECT_TRUE(opened.isEmpty()) << "nothing but the summary: "
                                << opened.join(QLatin1Char(',')).toStdString();
  EXPECT_EQ(answerer.seen.size(), 1u);
  for (const char* name : names) EXPECT_TRUE(action(name)->isEnabled()) << name << " after";
}

// Regression: the proposals took the level shown once the check was over, which could be one
// the colours were never made with.
TEST_F(MenuTest, ProposalsFollowTheLevelOfTheLastColours) {
  using ui::CheckStage;
  struct Case {
    CheckStage changedDuring;
    QStringList words;
  } cases[] = {
      // Changed after the walk: every colour is at level 0.
      {CheckStage::Colouring, {QStringLiteral("漢字"), QStringLiteral("習う")}},
      // Changed during the walk: the last colours are at level 6, where nothing is red.
      {CheckStage::Walking, {}},
  };
  auto* text = control<QPlainTextEdit>("RichEdit1");
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.changedDuring));
    text->setPlainText(QStringLiteral("学校で漢字を習う。\n").repeated(20000));
    window().ComboBox1->setCurrentIndex(0);
    MessageBoxAnswerer answerer;
    bool changed = false;
    QTimer during;
    QObject::connect(&during, &QTimer::timeout, [&] {
      if (changed || window().checkStage() != c.changedDuring) return;
      changed = true;
      window().ComboBox1->setCurrentIndex(6);  // every kanji allowed
    });
    during.start(0);
    window().Button1Click();
    ASSERT_TRUE(changed);
    ASSERT_TRUE(action("ReadingsAction")->isEnabled());
    action("ReadingsAction")->trigger();
    // The proposals are made on a worker.
    QDialog* dialog = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
          return (dialog = window().findChild<QDialog*>(QStringLiteral("ReadingsDialog"))) !=
                 nullptr;
        },
        20000));
    auto* table = dialog->findChild<QAbstractItemView*>();
    ASSERT_NE(table, nullptr);
    QStringList words;
    for (int row = 0; row < table->model()->rowCount(); ++row)
      words << table->model()->index(row, 0).data().toString();
    EXPECT_EQ(words.join(QLatin1Char(',')).toStdString(),
              c.words.join(QLatin1Char(',')).toStdString());
    dialog->close();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window().findChild<QDialog*>(QStringLiteral("ReadingsDialog")) == nullptr; },
        5000));
  }
}

TEST(ReadingsMenu, WithoutTheDictionaryTheItemIsOffAndSaysWhichPackage) {
  qputenv("TORVANE_MECAB_DICDIR", "/nonexistent/dictionary");
  TForm1 window;
  qunsetenv("TORVANE_MECAB_DICDIR");
  auto* readings = window.findChild<QAction*>(QStringLiteral("ReadingsAction"));
  ASSERT_NE(readings, nullptr);
  EXPECT_FALSE(readings->isEnabled());
  EXPECT_TRUE(readings->toolTip().contains(QStringLiteral("mecab-ipadic-utf8")));
}

}  // namespace
}  // namespace torvane::testing
