// The table-changes dialog: its model first, then the widgets.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include "checker/table_changes.h"
#include "sjis/codec.h"
#include "sjis/utf8.h"
#include "ui/dialogs/table_changes/table_changes_dialog.h"
#include "ui/dialogs/table_changes/table_changes_model.h"

namespace torvane::ui {
namespace {

std::vector<checker::TableChange> changesOf(const char* utf8) {
  return checker::tableChanges(sjis::encode(sjis::decodeUtf8(utf8).text).text);
}

QString cell(const QAbstractItemModel& model, int row, int column, int role = Qt::DisplayRole) {
  return model.data(model.index(row, column), role).toString();
}

TEST(TableChangesModel, RowsOfATextWithBothStagesInTheReportsWordsAndCounts) {
  const TableChangesModel model(changesOf("岡山と𠮟る。岡に城、学校"), true);
  ASSERT_EQ(model.rowCount(), 3);
  ASSERT_EQ(model.columnCount(), 4);
  const QString expected[3][4] = {
      {"岡", "中学までに習わない(漢)字", "小学四年で習う漢字", "2"},
      {"𠮟", "中学までに習わない(漢)字", "中学三年間で習う漢字", "1"},
      {"城", "小学六年で習う漢字", "小学四年で習う漢字", "1"},
  };
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 4; ++column) {
      EXPECT_EQ(cell(model, row, column), expected[row][column]) << row << " " << column;
    }
  }
  const QString headers[] = {"文字", "1989年の表", "2020年の表", "回数"};
  for (int column = 0; column < 4; ++column) {
    EXPECT_EQ(model.headerData(column, Qt::Horizontal).toString(), headers[column]);
  }
  const auto alignment =
      model.data(model.index(0, TableChangesModel::OccurrencesColumn), Qt::TextAlignmentRole);
  EXPECT_TRUE(alignment.value<Qt::Alignment>() & Qt::AlignRight) << "counts line up right";
  EXPECT_FALSE(model.data(model.index(3, 0)).isValid()) << "past the last row";
  EXPECT_EQ(model.rowCount(model.index(0, 0)), 0) << "a table, not a tree";
}

TEST(TableChangesModel, EveryChangeWithoutCounts) {
  const auto all = checker::allTableChanges();
  const TableChangesModel model(all, false);
  EXPECT_EQ(model.rowCount(), static_cast<int>(all.size()));
  EXPECT_EQ(model.columnCount(), 3) << "no count column without a text";
  EXPECT_EQ(cell(model, 0, TableChangesModel::CharacterColumn), QStringLiteral("賀"));
  EXPECT_FALSE(model.headerData(TableChangesModel::OccurrencesColumn, Qt::Horizontal).isValid());
  const QString text = model.tabSeparatedText();
  EXPECT_TRUE(text.startsWith(QStringLiteral("文字\t1989年の表\t2020年の表\n賀\t")));
  EXPECT_EQ(text.count(QLatin1Char('\n')), model.rowCount() + 1);
}

TEST(TableChangesDialog, ForATextListsItsCharactersAndCopiesThem) {
  TableChangesDialog dialog(changesOf("岡山の城、岡"), true);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("判定表の違い"));
  auto* scope = dialog.findChild<QLabel*>("TableChangesScope");
  ASSERT_NE(scope, nullptr);
  EXPECT_TRUE(scope->text().contains(QStringLiteral("上の欄の文章")))
      << scope->text().toStdString();
  EXPECT_TRUE(scope->text().contains(QStringLiteral("2 種"))) << scope->text().toStdString();
  auto* view = dialog.findChild<QTableView*>("TableChangesView");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->model(), dialog.model());
  EXPECT_EQ(view->model()->rowCount(), 2);

  QGuiApplication::clipboard()->clear();
  auto* copy = dialog.findChild<QPushButton*>("CopyButton");
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->text(), QStringLiteral("コピー"));
  QTest::mouseClick(copy, Qt::LeftButton);
  EXPECT_EQ(QGuiApplication::clipboard()->text(),
            QStringLiteral("文字\t1989年の表\t2020年の表\t回数\n"
                           "岡\t中学までに習わない(漢)字\t小学四年で習う漢字\t2\n"
                           "城\t小学六年で習う漢字\t小学四年で習う漢字\t1\n"));
  EXPECT_TRUE(dialog.isVisible()) << "copying leaves the dialog open";

  auto* close = dialog.findChild<QPushButton*>("CloseButton");
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->text(), QStringLiteral("閉じる"));
  QSignalSpy rejected(&dialog, &QDialog::rejected);
  QTest::mouseClick(close, Qt::LeftButton);
  EXPECT_EQ(rejected.count(), 1);
  EXPECT_FALSE(dialog.isVisible());
}

TEST(TableChangesDialog, ScopeLineSaysWhatIsListed) {
  struct Case {
    std::vector<checker::TableChange> rows;
    bool forText;
    QString contains;
    bool copyEnabled;
  } cases[] = {
      {changesOf("学校の先生"), true, QStringLiteral("ありません"), false},
      {checker::allTableChanges(), false, QStringLiteral("全部で 251 字"), true},
  };
  for (Case& c : cases) {
    TableChangesDialog dialog(std::move(c.rows), c.forText);
    const QString scope = dialog.findChild<QLabel*>("TableChangesScope")->text();
    EXPECT_TRUE(scope.contains(c.contains)) << scope.toStdString();
    EXPECT_EQ(dialog.findChild<QPushButton*>("CopyButton")->isEnabled(), c.copyEnabled);
  }
}

TEST(TableChangesDialog, EscapeClosesIt) {
  TableChangesDialog dialog(changesOf("城"), true);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
}  // namespace torvane::ui
