// The reading proposals dialog: its model first (rows, edits reaching every occurrence, modes),
// then its widgets (copy, save, writing into the box as one undo step, showing a word's places).
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <memory>
#include <tuple>
#include <variant>

#include "documents/document.h"
#include "documents/writers.h"
#include "rewriting/checked_source.h"
#include "tables/class_strings.h"
#include "ui/dialogs/readings/readings_delegates.h"
#include "ui/dialogs/readings/readings_dialog.h"
#include "ui/dialogs/readings/readings_model.h"
#include "ui/look/fonts.h"
#include "ui/textbox/paste_box.h"

#include "message_box_answerer.h"

namespace torvane::testing {
namespace {

using checker::Stage;
using reading::Mode;
using reading::Proposal;
using ui::ReadingsModel;

const checker::Classifier& classifier() {
  static const tables::ClassStrings strings = tables::loadClassStrings();
  static const checker::Classifier c(strings);
  return c;
}

// 𠮷 takes two UTF-16 units and a placeholder pair of bytes; the line break is a paragraph
// separator in the box and CR LF in Shift_JIS. Document positions: 𠮷 0-2, 野 2, の 3, 漢字 4-6,
// を 6, 書け 7-9, 。 9, the separator 10, 明日 11-13, も 13, 漢字 14-16.
const QString kText = QStringLiteral("𠮷野の漢字を書け。\n明日も漢字");

// The proposals as the analyser gives them, at their Shift_JIS offsets, built by hand.
std::vector<Proposal> proposals() {
  return {
      {0, 4, "𠮷野", "よしの", {"よしの"}, {}, Stage::Beyond, {}},
      {6, 4, "漢字", "かんじ", {"かんじ"}, {}, Stage::Grade3, {}},
      {12, 4, "書け", "かけ", {"かけ"}, {}, Stage::Grade2, {}},
      {20, 4, "明日", "あした", {"あした", "あす"}, {}, Stage::Grade2, {}},
      {26, 4, "漢字", "かんじ", {"かんじ", "からじ"}, {}, Stage::Grade3, {}},
  };
}

struct Fixture {
  ui::PasteBox box;
  std::unique_ptr<ui::ReadingsDialog> dialog;
  ReadingsModel* model = nullptr;

  Fixture() {
    box.setPlainText(kText);
    dialog = std::make_unique<ui::ReadingsDialog>(
        ui::CheckedBoxText::check(ui::checkedTextOf(*box.document()), -1, classifier()),
        proposals(), &box);
    model = dialog->model();
  }
  QString text() { return QString::fromStdString(dialog->rewritten(reading::Format::Text)); }
  void show() {
    box.show();
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
  }
  QTableView* table() { return dialog->findChild<QTableView*>(QStringLiteral("table")); }
  void clickRow(int row) {
    QTableView* view = table();
    const QRect cell = view->visualRect(model->index(row, ReadingsModel::Word));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
  }
  void click(const char* button) {
    QTest::mouseClick(dialog->findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
  }
};

QString cell(const ReadingsModel& model, int row, int column, int role = Qt::DisplayRole) {
  return model.index(row, column).data(role).toString();
}

TEST(ReadingsModel, OneRowPerWordAndReadingWithTheReportsStage) {
  Fixture f;
  const ReadingsModel& m = *f.model;
  ASSERT_EQ(m.rowCount(), 4);
  ASSERT_EQ(m.columnCount(), 7);
  const struct {
    QString word, reading, pieces, stage, count, mode;
  } rows[] = {
      {"𠮷野", "よしの", "𠮷野（よしの）", "中学までに習わない(漢)字", "1", "ルビを付ける"},
      {"漢字", "かんじ", "漢字（かんじ）", "小学三年で習う漢字", "2", "ルビを付ける"},
      {"書け", "かけ", "書（か）け", "小学二年で習う漢字", "1", "ルビを付ける"},
      {"明日", "あした", "明日（あした）", "小学二年で習う漢字", "1", "ルビを付ける"},
  };
  for (int r = 0; r < 4; ++r) {
    EXPECT_EQ(cell(m, r, ReadingsModel::Word), rows[r].word) << r;
    EXPECT_EQ(cell(m, r, ReadingsModel::Reading), rows[r].reading) << r;
    EXPECT_EQ(cell(m, r, ReadingsModel::Pieces), rows[r].pieces) << r;
    EXPECT_EQ(cell(m, r, ReadingsModel::Stage), rows[r].stage) << r;
    EXPECT_EQ(cell(m, r, ReadingsModel::Occurrences), rows[r].count) << r;
    EXPECT_EQ(cell(m, r, ReadingsModel::Mode), rows[r].mode) << r;
  }
  EXPECT_EQ(m.index(1, ReadingsModel::Reading).data(ReadingsModel::ChoicesRole).toStringList(),
            (QStringList{"かんじ", "からじ"}));
  for (int c = 0; c < m.columnCount(); ++c) {
    const bool editable = c == ReadingsModel::Reading || c == ReadingsModel::Mode;
    EXPECT_EQ(m.flags(m.index(0, c)).testFlag(Qt::ItemIsEditable), editable) << c;
  }
  EXPECT_EQ(m.headerData(ReadingsModel::Reading, Qt::Horizontal).toString(), "読み");
}

TEST(ReadingsModel, AnEditedReadingReachesEveryOccurrence) {
  Fixture f;
  EXPECT_EQ(
      f.text(),
      "｜𠮷野《よしの》の｜漢字《かんじ》を｜書《か》け。\n｜明日《あした》も｜漢字《かんじ》");
  ASSERT_TRUE(f.model->setData(f.model->index(1, ReadingsModel::Reading), " かんじい "));
  EXPECT_EQ(cell(*f.model, 1, ReadingsModel::Reading, Qt::EditRole), "かんじい");  // trimmed
  EXPECT_EQ(
      f.text(),
      "｜𠮷野《よしの》の｜漢字《かんじい》を｜書《か》け。\n｜明日《あした》も｜漢字《かんじい》");
  // A reading emptied leaves the word as it is, and the table says it has none.
  ASSERT_TRUE(f.model->setData(f.model->index(1, ReadingsModel::Reading), QString()));
  EXPECT_EQ(cell(*f.model, 1, ReadingsModel::Reading), "（読みがわかりません）");
  EXPECT_EQ(f.text(), "｜𠮷野《よしの》の漢字を｜書《か》け。\n｜明日《あした》も漢字");
}

// Regression: 》, ｜ or 《 in a reading broke the ruby written into the box.
TEST(ReadingsModel, AReadingIsKanaOrNothing) {
  const struct {
    QString typed;
    bool taken;
    QString kept = {};  // when not the typed text trimmed
  } cases[] = {
      {"かんじ", true},       {"カンジ", true, "かんじ"},
      {"らーめん", true},     {"ぁゖ", true},
      {"ァヶ", true, "ぁゖ"}, {"", true},
      {" かんじ ", true},     {"かん》じ", false},
      {"｜かんじ", false},    {"《かんじ", false},
      {"漢字", false},        {"kanji", false},
      {"ｶﾝｼﾞ", false},  // half-width katakana has no place in ruby
      {"かん じ", false},     {"ヷ", false},
  };
  for (const auto& c : cases) {
    Fixture f;
    const QModelIndex reading = f.model->index(1, ReadingsModel::Reading);
    EXPECT_EQ(f.model->setData(reading, c.typed), c.taken) << c.typed.toStdString();
    EXPECT_EQ(cell(*f.model, 1, ReadingsModel::Reading, Qt::EditRole),
              !c.taken           ? QStringLiteral("かんじ")
              : c.kept.isEmpty() ? c.typed.trimmed()
                                 : c.kept)
        << c.typed.toStdString();
  }
}

TEST(ReadingsDialog, TheReadingEditorRefusesAnythingButKanaAndSaysWhy) {
  Fixture f;
  f.show();
  QTableView* view = f.table();
  view->edit(f.model->index(0, ReadingsModel::Reading));  // よしの: nothing to complete
  auto* editor = view->viewport()->findChild<QComboBox*>("readingEditor");
  ASSERT_NE(editor, nullptr);
  editor->lineEdit()->clear();
  auto type = [&](const QString& text) {
    for (const QChar c : text)
      QTest::sendKeyEvent(QTest::Click, editor->lineEdit(), Qt::Key_unknown, QString(c),
                          Qt::NoModifier);
  };
  type("かん");
  EXPECT_FALSE(f.dialog->findChild<QLabel*>("note")->text().contains(ui::readingHint()))
      << f.dialog->findChild<QLabel*>("note")->text().toStdString();
  type("》《｜a");
  EXPECT_EQ(editor->currentText(), "かん");
  EXPECT_EQ(f.dialog->findChild<QLabel*>("note")->text(), ui::readingHint());
  type("じ");
  QTest::keyClick(editor->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(cell(*f.model, 0, ReadingsModel::Reading), "かんじ");
}

// More proposals than are rewritten at once: the copy's forms, the saved file and the edits are
// made on a worker, and the edits go into the box a slice at a time, one undo step in all.
TEST(ReadingsDialog, ALongRewriteIsCopiedAndWrittenIntoTheBoxFromAWorker) {
  const int words = 3000;
  ui::PasteBox box;
  box.setPlainText(QStringLiteral("漢字、").repeated(words));
  std::vector<Proposal> many;
  for (int i = 0; i < words; ++i)
    many.push_back({static_cast<std::size_t>(i) * 6,
                    4,
                    "漢字",
                    "かんじ",
                    {"かんじ"},
                    {},
                    checker::Stage::Grade3,
                    {}});
  ui::ReadingsDialog dialog(
      ui::CheckedBoxText::check(ui::checkedTextOf(*box.document()), -1, classifier()),
      std::move(many), &box);
  dialog.model()->setData(dialog.model()->index(0, ReadingsModel::Reading), "かんぢ");

  QSignalSpy copied(&dialog, &ui::ReadingsDialog::copiedWithRuby);
  dialog.copyWithRuby();
  ASSERT_TRUE(copied.count() > 0 || copied.wait(20000));
  EXPECT_EQ(QGuiApplication::clipboard()->text(),
            QStringLiteral("｜漢字《かんぢ》、").repeated(words));

  QTemporaryDir dir;
  QSignalSpy saved(&dialog, &ui::ReadingsDialog::saved);
  ASSERT_TRUE(dialog.saveTo(dir.filePath("out.html")));
  ASSERT_TRUE(saved.count() > 0 || saved.wait(20000));
  EXPECT_TRUE(saved[0][0].toBool());
  QFile file(dir.filePath("out.html"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(file.readAll()).count("<ruby>漢字<rt>かんぢ</rt></ruby>"), words);

  const QString before = box.toPlainText();
  QSignalSpy applied(&dialog, &ui::ReadingsDialog::appliedToBox);
  ASSERT_TRUE(dialog.applyToBox());
  EXPECT_TRUE(box.isPasting()) << "the edits are being made";
  EXPECT_TRUE(box.isReadOnly()) << "nothing moves the text under them";
  ASSERT_TRUE(applied.count() > 0 || applied.wait(20000));
  EXPECT_FALSE(box.isReadOnly());
  EXPECT_EQ(box.toPlainText(), QStringLiteral("｜漢字《かんぢ》、").repeated(words));
  box.undoEdit();
  EXPECT_EQ(box.toPlainText(), before) << "one undo step";
}

TEST(ReadingsModel, TheModeChosenDecidesTheRewrite) {
  Fixture f;
  ReadingsModel& m = *f.model;
  ASSERT_TRUE(m.setData(m.index(0, ReadingsModel::Mode), static_cast<int>(Mode::Keep)));
  ASSERT_TRUE(m.setData(m.index(1, ReadingsModel::Mode), static_cast<int>(Mode::Kana)));
  ASSERT_TRUE(m.setData(m.index(3, ReadingsModel::Mode), static_cast<int>(Mode::Kana)));
  EXPECT_EQ(cell(m, 1, ReadingsModel::Mode), "ひらがなにする");
  EXPECT_EQ(cell(m, 0, ReadingsModel::Mode), "そのまま");
  EXPECT_EQ(f.text(), "𠮷野のかんじを｜書《か》け。\nあしたもかんじ");
  // Neither a value past the modes nor an edit of a column that is not editable is taken.
  EXPECT_FALSE(m.setData(m.index(2, ReadingsModel::Mode), static_cast<int>(Mode::Keep) + 1));
  EXPECT_FALSE(m.setData(m.index(2, ReadingsModel::Word), "書く"));
  EXPECT_EQ(cell(m, 2, ReadingsModel::Mode), "ルビを付ける");
}

TEST(ReadingsModel, ATypedReadingIsShownInItsPieces) {
  Fixture f;
  const struct {
    QString typed, pieces, text;
  } cases[] = {
      {"カケ", "書（か）け", "｜書《か》け"},      // katakana kept as hiragana, aligned on け
      {"よむ", "書け（よむ）", "｜書け《よむ》"},  // け not in it: one piece over the word
      {"か", "書け（か）", "｜書け《か》"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(f.model->setData(f.model->index(2, ReadingsModel::Reading), c.typed));
    EXPECT_EQ(cell(*f.model, 2, ReadingsModel::Pieces), c.pieces) << c.typed.toStdString();
    EXPECT_TRUE(f.text().contains(c.text)) << f.text().toStdString();
  }
}

// 引 is learnt at level 3, 越 is not: ruby on the unlearnt piece alone keeps 引 bare.
TEST(ReadingsDialog, RubyOnTheWholeWordOrOnlyWhereAKanjiIsNotLearnt) {
  ui::PasteBox box;
  box.setPlainText(QStringLiteral("引っ越し"));
  ui::ReadingsDialog dialog(
      ui::CheckedBoxText::check(ui::checkedTextOf(*box.document()), 3, classifier()),
      {{0, 8, "引っ越し", "ひっこし", {"ひっこし"}, {}, Stage::JuniorHigh, {}}}, &box);
  ReadingsModel& m = *dialog.model();
  const struct {
    Mode mode;
    QString text;
  } cases[] = {
      {Mode::Ruby, "｜引《ひ》っ｜越《こ》し"},
      {Mode::RubyUnlearnt, "引っ｜越《こ》し"},
      {Mode::Kana, "ひっこし"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(m.setData(m.index(0, ReadingsModel::Mode), static_cast<int>(c.mode)));
    EXPECT_EQ(QString::fromStdString(dialog.rewritten(reading::Format::Text)), c.text);
  }
  EXPECT_EQ(cell(m, 0, ReadingsModel::Mode), "ひらがなにする");
  ASSERT_TRUE(m.setData(m.index(0, ReadingsModel::Mode), static_cast<int>(Mode::RubyUnlearnt)));
  EXPECT_EQ(cell(m, 0, ReadingsModel::Mode), "習っていない字だけルビ");
  box.show();
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  ASSERT_TRUE(dialog.applyToBox());
  EXPECT_EQ(box.toPlainText(), "引っ｜越《こ》し");
}

TEST(ReadingsDialog, CopyPutsRubyHtmlAndTheAozoraTextOnTheClipboard) {
  Fixture f;
  f.box.setFont(ui::japaneseFont(ui::kProportionalGothic, 16));  // as in the window
  f.show();
  f.model->setData(f.model->index(3, ReadingsModel::Mode), static_cast<int>(Mode::Kana));
  QGuiApplication::clipboard()->clear();
  f.click("copyButton");
  const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(copied, nullptr);
  ASSERT_TRUE(copied->hasHtml());
  const QString html = copied->html();
  EXPECT_TRUE(html.contains("<ruby>漢字<rt>かんじ</rt></ruby>")) << html.toStdString();
  EXPECT_TRUE(html.contains("<ruby>書<rt>か</rt></ruby>け")) << html.toStdString();
  EXPECT_TRUE(html.contains("あしたも")) << html.toStdString();
  EXPECT_EQ(copied->text(),
            "｜𠮷野《よしの》の｜漢字《かんじ》を｜書《か》け。\nあしたも｜漢字《かんじ》");
  // Word processors take the ruby from the RTF, as EQ fields in the box's font and size.
  for (const char* type : {"text/rtf", "text/richtext"}) {
    const QByteArray rtf = copied->data(QLatin1String(type));
    EXPECT_TRUE(rtf.startsWith("{\\rtf1")) << type;
    EXPECT_EQ(rtf.count("{\\field{\\*\\fldinst{ EQ "), 4) << rtf.toStdString();
    EXPECT_TRUE(rtf.contains("hps12 \\\\o\\\\ad(\\\\s\\\\up 11(\\u12363?),\\u26360?)"))
        << rtf.toStdString();  // 書 か
    EXPECT_TRUE(rtf.contains("\\fcharset128 IPAPGothic{\\*\\falt ")) << rtf.toStdString();
  }
}

TEST(ReadingsDialog, SaveWritesTheHtmlOrSaysInJapaneseWhyNot) {
  Fixture f;
  QTemporaryDir dir;
  const QString path = dir.filePath("out.html");
  ASSERT_TRUE(f.dialog->saveTo(path));
  QFile saved(path);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  const QString html = QString::fromUtf8(saved.readAll());
  EXPECT_TRUE(html.startsWith("<!DOCTYPE html>"));
  EXPECT_TRUE(html.contains("<ruby>明日<rt>あした</rt></ruby>"));

  MessageBoxAnswerer answerer;
  EXPECT_FALSE(f.dialog->saveTo(dir.filePath("no such folder/out.html")));
  ASSERT_EQ(answerer.seen.size(), 1u);
  EXPECT_EQ(answerer.seen[0].icon, QMessageBox::Warning);
  EXPECT_TRUE(answerer.seen[0].text.startsWith("「out.html」に保存できませんでした。"))
      << answerer.seen[0].text.toStdString();
}

std::string fileBytes(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// One part of a package, as unzip gives it.
QString packagePart(const QString& path, const char* part) {
  QProcess unzip;
  unzip.start("unzip", {"-p", path, QLatin1String(part)});
  unzip.waitForFinished(10000);
  return QString::fromUtf8(unzip.readAllStandardOutput());
}

TEST(ReadingsDialog, SavesEachKindByItsNameAndTheDocumentsReadBack) {
  Fixture f;
  QTemporaryDir dir;
  // The documents' text is the box's with CR LF ends; their ruby is the proposals'.
  for (const auto& [name, part, ruby] : {std::tuple{"out.docx", "word/document.xml", "<w:ruby>"},
                                         std::tuple{"out.odt", "content.xml", "<text:ruby "}}) {
    SCOPED_TRACE(name);
    const QString path = dir.filePath(QLatin1String(name));
    ASSERT_TRUE(f.dialog->saveTo(path));
    EXPECT_EQ(documents::openDocument(fileBytes(path)).text,
              "𠮷野の漢字を書け。\r\n明日も漢字\r\n");
    const QString xml = packagePart(path, part);
    EXPECT_EQ(xml.count(QLatin1String(ruby)), 5) << xml.toStdString();
    EXPECT_TRUE(xml.contains(QStringLiteral("かんじ")));
  }
  ASSERT_TRUE(f.dialog->saveTo(dir.filePath("out.txt")));
  EXPECT_EQ(
      fileBytes(dir.filePath("out.txt")),
      "｜𠮷野《よしの》の｜漢字《かんじ》を｜書《か》け。\n｜明日《あした》も｜漢字《かんじ》");
  MessageBoxAnswerer answerer;
  EXPECT_FALSE(f.dialog->saveTo(dir.filePath("out.rtf")));
  ASSERT_EQ(answerer.seen.size(), 1u);
  EXPECT_TRUE(answerer.seen[0].text.contains(QStringLiteral(".docx、.odt、.html、.txt")));
}

// The box filled from a .docx, as opening it leaves the box: every paragraph ending in a break.
struct OpenedFixture {
  QTemporaryDir dir;
  QString original = dir.filePath("作文.docx");
  ui::PasteBox box;
  std::unique_ptr<ui::ReadingsDialog> dialog;

  OpenedFixture() {
    const std::string text = "𠮷野の漢字を書け。\r\n明日も漢字\r\n";
    QFile file(original);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    const std::string bytes = documents::writeNewDocx(text, {});
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    file.close();
    box.setPlainText(kText + QLatin1Char('\n'));
    dialog = std::make_unique<ui::ReadingsDialog>(
        ui::CheckedBoxText::check(ui::checkedTextOf(*box.document()), -1, classifier()),
        proposals(), &box);
    dialog->setOpenedFile(ui::OpenedFile{
        original,
        std::make_shared<const documents::OpenedDocument>(documents::openDocument(bytes))});
  }
};

TEST(ReadingsDialog, RubyGoesIntoTheOpenedDocumentWithItsTextUnchanged) {
  OpenedFixture f;
  EXPECT_TRUE(f.dialog->findChild<QPushButton*>("saveIntoDocumentButton")->isEnabled());
  const QString out = f.dir.filePath("作文（ルビ付き）.docx");
  ASSERT_TRUE(f.dialog->saveIntoDocumentTo(out));
  EXPECT_EQ(documents::openDocument(fileBytes(out)).text,
            documents::openDocument(fileBytes(f.original)).text);
  const QString xml = packagePart(out, "word/document.xml");
  EXPECT_EQ(xml.count(QLatin1String("<w:ruby>")), 5) << xml.toStdString();
  EXPECT_TRUE(f.dialog->findChild<QLabel*>("note")->text().startsWith(
      QStringLiteral("「作文（ルビ付き）.docx」に保存しました。")));
}

TEST(ReadingsDialog, TheOpenedDocumentIsOverwrittenOnlyWhenTheTeacherAgrees) {
  OpenedFixture f;
  const std::string before = fileBytes(f.original);
  MessageBoxAnswerer answerer;  // Esc: the original stays
  EXPECT_FALSE(f.dialog->saveIntoDocumentTo(f.original));
  ASSERT_EQ(answerer.seen.size(), 1u);
  EXPECT_EQ(answerer.seen[0].icon, QMessageBox::Question);
  EXPECT_EQ(fileBytes(f.original), before);
}

TEST(ReadingsDialog, AChangedBoxGivesNoRubyIntoTheDocument) {
  OpenedFixture f;
  // The box was edited after opening: the marks would land on other words of the document.
  f.box.setPlainText(kText);
  ui::ReadingsDialog dialog(
      ui::CheckedBoxText::check(ui::checkedTextOf(*f.box.document()), -1, classifier()),
      proposals(), &f.box);
  dialog.setOpenedFile(
      ui::OpenedFile{f.original, std::make_shared<const documents::OpenedDocument>(
                                     documents::openDocument(fileBytes(f.original)))});
  MessageBoxAnswerer answerer;
  EXPECT_FALSE(dialog.saveIntoDocumentTo(f.dir.filePath("out.docx")));
  ASSERT_EQ(answerer.seen.size(), 1u);
  EXPECT_TRUE(answerer.seen[0].text.contains(QStringLiteral("開いたときから変わっている")));
  EXPECT_FALSE(QFile::exists(f.dir.filePath("out.docx")));
}

TEST(ReadingsDialog, NoDocumentToWriteIntoForATextFileOrNone) {
  Fixture f;
  EXPECT_FALSE(f.dialog->findChild<QPushButton*>("saveIntoDocumentButton")->isEnabled());
  f.dialog->setOpenedFile(ui::OpenedFile{
      "a.txt", std::make_shared<const documents::OpenedDocument>(documents::openDocument("あ"))});
  EXPECT_FALSE(f.dialog->findChild<QPushButton*>("saveIntoDocumentButton")->isEnabled());
}

TEST(ReadingsDialog, ApplyReplacesExactlyTheWordsAsOneUndoStep) {
  Fixture f;
  f.show();
  // Formats outside the words, and on the base a ruby keeps, stay as they were.
  auto format = [&](int from, int to, const QTextCharFormat& format) {
    QTextCursor cursor(f.box.document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    cursor.mergeCharFormat(format);
  };
  QTextCharFormat bold, red;
  bold.setFontWeight(QFont::Bold);
  red.setForeground(Qt::red);
  format(3, 4, bold);  // の
  format(4, 6, red);   // 漢字
  auto formatBefore = [&](int position) {
    QTextCursor cursor(f.box.document());
    cursor.setPosition(position);
    return cursor.charFormat();
  };
  const int stepsBefore = f.box.document()->availableUndoSteps();
  f.model->setData(f.model->index(3, ReadingsModel::Mode), static_cast<int>(Mode::Kana));
  f.model->setData(f.model->index(2, ReadingsModel::Mode), static_cast<int>(Mode::Keep));
  QSignalSpy applied(f.dialog.get(), &ui::ReadingsDialog::appliedToBox);
  f.click("applyButton");
  EXPECT_EQ(applied.count(), 1);
  EXPECT_EQ(f.box.toPlainText(),
            "｜𠮷野《よしの》の｜漢字《かんじ》を書け。\nあしたも｜漢字《かんじ》");
  const int no = static_cast<int>(f.box.toPlainText().indexOf("》の")) + 1;
  EXPECT_EQ(formatBefore(no + 1).fontWeight(), QFont::Bold);
  EXPECT_NE(formatBefore(no).fontWeight(), QFont::Bold);
  const int kanji = static_cast<int>(f.box.toPlainText().indexOf("｜漢字")) + 1;
  EXPECT_EQ(formatBefore(kanji + 1).foreground().color(), Qt::red);
  EXPECT_EQ(formatBefore(kanji + 2).foreground().color(), Qt::red);
  f.box.document()->undo();  // one undo takes the whole of it back
  EXPECT_EQ(f.box.toPlainText(), kText);
  EXPECT_EQ(f.box.document()->availableUndoSteps(), stepsBefore);
  EXPECT_EQ(formatBefore(4).fontWeight(), QFont::Bold);
}

TEST(ReadingsDialog, ApplyRefusesABoxThatChangedOrIsBeingChecked) {
  Fixture f;
  f.show();
  MessageBoxAnswerer answerer;
  f.box.setReadOnly(true);  // as during a check
  EXPECT_FALSE(f.dialog->applyToBox());
  f.box.setReadOnly(false);
  QTextCursor(f.box.document()).insertText("あ");
  EXPECT_FALSE(f.dialog->applyToBox());
  EXPECT_EQ(f.box.toPlainText(), "あ" + kText);
  ASSERT_EQ(answerer.seen.size(), 2u);
  EXPECT_TRUE(answerer.seen[0].text.startsWith("チェックの途中は"));
  EXPECT_TRUE(answerer.seen[1].text.startsWith("上の欄の文章がチェックの後で変わっている"));
  // Undoing the change makes the box the checked text again.
  f.box.document()->undo();
  EXPECT_TRUE(f.dialog->applyToBox());
  EXPECT_EQ(answerer.seen.size(), 2u);
}

TEST(ReadingsDialog, ARowSelectedShowsItsPlacesInTurn) {
  Fixture f;
  f.show();
  QSignalSpy shown(f.dialog.get(), &ui::ReadingsDialog::occurrenceShown);
  const struct {
    int row;
    int from, to;
  } clicks[] = {
      {1, 4, 6},    // 漢字, first place
      {1, 14, 16},  // the same row again: the next place
      {1, 4, 6},    // and round again
      {0, 0, 3},    // 𠮷野: the surrogate pair counts two positions
      {3, 11, 13},  // 明日, after the paragraph separator
  };
  for (const auto& c : clicks) {
    shown.clear();
    f.clickRow(c.row);
    ASSERT_EQ(shown.count(), 1) << c.row;
    EXPECT_EQ(shown[0][0].toInt(), c.from) << c.row;
    EXPECT_EQ(shown[0][1].toInt(), c.to) << c.row;
    EXPECT_EQ(f.box.textCursor().selectionStart(), c.from);
    EXPECT_EQ(f.box.textCursor().selectionEnd(), c.to);
  }
  // The keyboard moves from row to row too.
  shown.clear();
  QTest::keyClick(f.table(), Qt::Key_Up);
  ASSERT_EQ(shown.count(), 1);
  EXPECT_EQ(shown[0][0].toInt(), 7);  // 書け
  // Once the box changed, no place is shown, and the dialog says why.
  QTextCursor(f.box.document()).insertText("あ");
  shown.clear();
  f.clickRow(1);
  EXPECT_EQ(shown.count(), 0);
  EXPECT_TRUE(f.dialog->findChild<QLabel*>("note")->text().contains("示せません"));
}

TEST(ReadingsDialog, WithNoProposalsSaysSoAndLeavesTheBoxAlone) {
  ui::PasteBox box;
  box.setPlainText(kText);
  ui::ReadingsDialog dialog(
      ui::CheckedBoxText::check(ui::checkedTextOf(*box.document()), 6, classifier()), {}, &box);
  EXPECT_EQ(dialog.model()->rowCount(), 0);
  EXPECT_TRUE(dialog.findChild<QLabel*>("note")->text().contains("ありません"));
  const int steps = box.document()->availableUndoSteps();
  EXPECT_TRUE(dialog.applyToBox());
  EXPECT_EQ(box.toPlainText(), kText);
  EXPECT_EQ(box.document()->availableUndoSteps(), steps);
}

TEST(ReadingsDialog, EditorsOfferTheChoicesAndTakeTypedText) {
  Fixture f;
  f.show();
  QTableView* view = f.table();
  const QModelIndex reading = f.model->index(1, ReadingsModel::Reading);
  view->edit(reading);
  auto* editor = view->viewport()->findChild<QComboBox*>("readingEditor");
  ASSERT_NE(editor, nullptr);
  ASSERT_EQ(editor->count(), 2);
  EXPECT_EQ(editor->itemText(1), "からじ");
  EXPECT_EQ(editor->currentText(), "かんじ");
  editor->setEditText("かんず");  // typed: QTest types ASCII only
  QTest::keyClick(editor->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(cell(*f.model, 1, ReadingsModel::Reading), "かんず");

  view->edit(f.model->index(0, ReadingsModel::Mode));
  auto* modes = view->viewport()->findChild<QComboBox*>("modeEditor");
  ASSERT_NE(modes, nullptr);
  EXPECT_EQ(modes->currentText(), "ルビを付ける");
  modes->setCurrentIndex(0);
  Q_EMIT modes->activated(0);  // as a choice from the list
  EXPECT_EQ(cell(*f.model, 0, ReadingsModel::Mode), "ひらがなにする");
}

// 「読み方も判定する」: at level 5 every kanji of 今上天皇の話 is learnt, but 今 read きん is not.
TEST(ReadingsDialog, ANotedWordShowsItsReasonUntilAnAllowedReadingIsTyped) {
  auto opened = reading::Analyzer::open();
  ASSERT_TRUE(std::holds_alternative<reading::Analyzer>(opened));
  ui::PasteBox box;
  box.setPlainText(QStringLiteral("今上天皇の話"));
  const QString text = ui::checkedTextOf(*box.document());
  reading::ProposedReadings proposed = reading::proposeReadings(
      std::get<reading::Analyzer>(opened), ui::utf16Of(text), 5, classifier(), {{}, nullptr, true});
  ui::ReadingsDialog dialog(std::make_shared<const ui::BoxReadings>(ui::BoxReadings{
                                ui::CheckedBoxText(text, std::move(proposed.source)),
                                std::move(proposed.proposals), true}),
                            std::move(proposed.rows), &box);
  dialog.show();
  ReadingsModel& m = *dialog.model();
  ASSERT_GE(m.rowCount(), 1);
  ASSERT_EQ(cell(m, 0, ReadingsModel::Word), "今上天皇");
  EXPECT_EQ(cell(m, 0, ReadingsModel::Notes), "今：きん は中学で習う読み方");
  auto* view = dialog.findChild<QTableView*>("table");
  EXPECT_FALSE(view->isColumnHidden(ReadingsModel::Notes));

  view->edit(m.index(0, ReadingsModel::Reading));
  auto* editor = view->viewport()->findChild<QComboBox*>("readingEditor");
  ASSERT_NE(editor, nullptr);
  editor->setEditText("いまうえてんのう");  // every reading taught in primary school
  QTest::keyClick(editor->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(cell(m, 0, ReadingsModel::Notes), "");
  ASSERT_TRUE(m.setData(m.index(0, ReadingsModel::Reading), "きんしょうてんのう"));
  EXPECT_EQ(cell(m, 0, ReadingsModel::Notes),
            "今：きん は中学で習う読み方、上：しょう は高校で習う読み方");
}

}  // namespace
}  // namespace torvane::testing
