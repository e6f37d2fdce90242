#include <QLineEdit>

#include "window_fixture.h"

namespace torvane::testing {
namespace {

class LevelBoxTest : public MainWindowTest {
 protected:
  ui::LevelComboBox* box() { return control<ui::LevelComboBox>("ComboBox1"); }
  void type(const QString& text) {
    box()->lineEdit()->setFocus();
    box()->lineEdit()->selectAll();
    typeText(box()->lineEdit(), text);
  }
};

TEST_F(LevelBoxTest, SevenEntriesAndTheFirstChosen) {
  ASSERT_EQ(box()->count(), 7);
  EXPECT_EQ(box()->itemText(0), QStringLiteral("一年生で習う漢字で"));
  EXPECT_EQ(box()->itemText(6), QStringLiteral("中学までに習う漢字で"));
  EXPECT_TRUE(box()->isEditable());
  EXPECT_EQ(box()->levelIndex(), 0);
  EXPECT_EQ(window().levelIndex(), 0);
}

TEST_F(LevelBoxTest, TypingAPrefixSelectsAndCompletesTheFirstEntryWithIt) {
  struct Case {
    QString typed;
    QString text;
    int index;
  } cases[] = {
      {QStringLiteral("三"), QStringLiteral("三年生までに習う漢字で"), 2},
      {QStringLiteral("中"), QStringLiteral("中学までに習う漢字で"), 6},
      {QStringLiteral("六年"), QStringLiteral("六年生までに習う漢字で"), 5},
      {QStringLiteral("一年生で習う漢字で"), QStringLiteral("一年生で習う漢字で"), 0},
  };
  for (const Case& c : cases) {
    type(c.typed);
    EXPECT_EQ(box()->currentText(), c.text) << c.typed.toStdString();
    EXPECT_EQ(box()->currentIndex(), c.index) << c.typed.toStdString();
    EXPECT_EQ(box()->levelIndex(), c.index) << c.typed.toStdString();
    EXPECT_EQ(box()->lineEdit()->selectedText(), c.text.mid(c.typed.size()))
        << "the completed part";
  }
}

TEST_F(LevelBoxTest, TextThatIsNoEntryGivesMinusOneAndIsNeverAdded) {
  for (const QString& typed :
       {QStringLiteral("x"), QStringLiteral("二年生まで?"), QStringLiteral("高校")}) {
    type(typed);
    EXPECT_EQ(box()->currentText(), typed);
    EXPECT_EQ(box()->levelIndex(), -1) << typed.toStdString();
    QTest::keyClick(box()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(box()->count(), 7);
    EXPECT_EQ(box()->levelIndex(), -1) << "Enter does not complete " << typed.toStdString();
  }
}

TEST_F(LevelBoxTest, DeletingTheCompletionDoesNotCompleteAgain) {
  type(QStringLiteral("四"));
  EXPECT_EQ(box()->currentText(), QStringLiteral("四年生までに習う漢字で"));
  QTest::keyClick(box()->lineEdit(), Qt::Key_Backspace);  // removes the selected completion
  EXPECT_EQ(box()->currentText(), QStringLiteral("四"));
  EXPECT_EQ(box()->levelIndex(), -1);
}

TEST_F(LevelBoxTest, ChoosingFromTheListGivesItsIndex) {
  box()->setCurrentIndex(4);
  EXPECT_EQ(box()->levelIndex(), 4);
  EXPECT_EQ(box()->currentText(), QStringLiteral("五年生までに習う漢字で"));
}

}  // namespace
}  // namespace torvane::testing
