// 「ファイル」: opening each kind of file into the upper box as one undo step, failures that
// keep the box, saving in each kind and reading it back, dropping a file, the recent files.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QUrl>

#include "documents/document.h"
#include "documents/writers.h"
#include "message_box_answerer.h"
#include "ui/window/file_commands.h"
#include "window_fixture.h"

namespace torvane {
namespace {

using testing::MessageBoxAnswerer;

class FileTest : public testing::MainWindowTest {
 protected:
  ui::FileCommands& files() { return *window().files(); }
  ui::PasteBox& box() { return *control<ui::PasteBox>("RichEdit1"); }
  QString boxText() { return box().toPlainText(); }

  QString write(const QString& name, const std::string& bytes) {
    const QString path = dir_.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
  }
  // Opens and waits until the text is in, or the open failed.
  bool open(const QString& path) {
    QSignalSpy opened(&files(), &ui::FileCommands::opened);
    if (!files().openFile(path)) return false;
    if (opened.isEmpty() && !opened.wait(20000)) return false;
    return opened[0][0].toBool();
  }
  bool save(const QString& path) {
    QSignalSpy saved(&files(), &ui::FileCommands::saved);
    files().saveTo(path);
    if (saved.isEmpty() && !saved.wait(20000)) return false;
    return saved[0][0].toBool();
  }
  std::string read(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  }
  // The box's text coloured as a check leaves it: 岡 red, カ grey.
  void colourBox() {
    box().setPlainText(QStringLiteral("岡山へ\nカナ"));
    auto colour = [&](int from, int to, QColor c) {
      QTextCursor cursor(box().document());
      cursor.setPosition(from);
      cursor.setPosition(to, QTextCursor::KeepAnchor);
      QTextCharFormat format;
      format.setForeground(c);
      cursor.mergeCharFormat(format);
    };
    colour(0, 1, QColor(255, 0, 0));
    colour(4, 5, QColor(128, 128, 128));
  }

  QTemporaryDir dir_;
};

// The text of the file the box holds, as the reader reads it.
const std::string kText = "岡山へ行く。\r\n\r\nカナと\t漢字\r\n";
const QString kBoxText = QStringLiteral("岡山へ行く。\n\nカナと\t漢字\n");

TEST_F(FileTest, OpensEachKindAsItsTextAndNamesTheFile) {
  const struct {
    const char* name;
    std::string bytes;
  } inputs[] = {
      {"utf8.txt", kText},
      {"lf.txt", "岡山へ行く。\n\nカナと\t漢字\n"},
      {"sjis.txt",
       "\x89\xaa\x8e\x52\x82\xd6\x8d\x73\x82\xad\x81\x42\r\n\r\n"
       "\x83\x4a\x83\x69\x82\xc6\t\x8a\xbf\x8e\x9a\r\n"},
      {"new.docx", documents::writeNewDocx(kText, {})},
      {"new.odt", documents::writeNewOdt(kText, {})},
      {"docx named .txt", documents::writeNewDocx(kText, {})},  // told by the content
  };
  for (const auto& f : inputs) {
    SCOPED_TRACE(f.name);
    box().setPlainText(QStringLiteral("前の文章"));
    const QString path = write(QString::fromUtf8(f.name), f.bytes);
    ASSERT_TRUE(open(path));
    EXPECT_EQ(boxText(), kBoxText);
    EXPECT_EQ(control<QLabel>("FileLabel")->text(),
              QStringLiteral("文書：") + QString::fromUtf8(f.name));
    ASSERT_NE(files().openedFile(), nullptr);
    EXPECT_EQ(files().openedFile()->document->text, kText);
  }
  EXPECT_TRUE(control<QLabel>("TablesLabel")->isVisible()) << "the tables stay in view beside it";
  EXPECT_EQ(window().windowTitle(), QStringLiteral("(^-^)) Torvane")) << "the caption stays";
}

TEST_F(FileTest, OpeningIsOneUndoStepThatClearsTheReportAndTheColours) {
  colourBox();
  control<QTextEdit>("RichEdit2")->setPlainText(QStringLiteral("前の報告"));
  const QString before = boxText();
  ASSERT_TRUE(open(write("a.txt", kText)));
  EXPECT_TRUE(control<QTextEdit>("RichEdit2")->toPlainText().isEmpty()) << "report cleared";
  for (QTextBlock block = box().document()->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QBrush brush = it.fragment().charFormat().foreground();
      EXPECT_TRUE(brush.style() == Qt::NoBrush || brush.color() == Qt::black)
          << it.fragment().text().toStdString();
    }
  }
  box().undoEdit();
  EXPECT_EQ(boxText(), before) << "one undo step brings the old text back";
}

// An OLE compound file's header and a directory entry naming `stream` in UTF-16.
std::string compoundFile(const char* stream) {
  std::string bytes("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
  bytes.resize(512, '\0');
  for (const char* c = stream; *c != '\0'; ++c) bytes += {*c, '\0'};
  bytes.resize(1024, '\0');
  return bytes;
}

TEST_F(FileTest, AFailedOpenKeepsTheBoxAndSaysWhyInJapanese) {
  const struct {
    const char* name;
    std::string bytes;
    const char* says;
  } bad[] = {
      {"old.doc", compoundFile("WordDocument"), "古い Word の形式"},
      {"locked.docx", compoundFile("EncryptionInfo"), "パスワード"},
      {"broken.docx", "PK\x03\x04 not a package", "壊れている"},
      {"binary.txt", std::string("\x80\xff\xfe\x00\x81\x00\xff\xff", 8), "文字コード"},
  };
  box().setPlainText(QStringLiteral("残る文章"));
  for (const auto& f : bad) {
    SCOPED_TRACE(f.name);
    MessageBoxAnswerer answerer;
    EXPECT_FALSE(open(write(QString::fromUtf8(f.name), f.bytes)));
    EXPECT_EQ(boxText(), QStringLiteral("残る文章"));
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_TRUE(answerer.seen[0].text.startsWith(
        QStringLiteral("「%1」を開けませんでした。").arg(QString::fromUtf8(f.name))))
        << answerer.seen[0].text.toStdString();
    EXPECT_TRUE(answerer.seen[0].text.contains(QString::fromUtf8(f.says)))
        << answerer.seen[0].text.toStdString();
    EXPECT_EQ(files().openedFile(), nullptr);
  }
  MessageBoxAnswerer answerer;
  EXPECT_FALSE(open(dir_.filePath("missing.txt")));
  ASSERT_EQ(answerer.seen.size(), 1u);
  EXPECT_TRUE(answerer.seen[0].text.contains(QStringLiteral("見つからない")));
}

TEST_F(FileTest, SavedFilesReadBackAsTheBoxText) {
  colourBox();
  const std::string text = "岡山へ\r\nカナ\r\n";
  for (const char* name : {"out.docx", "out.odt", "out.txt", "out.html"}) {
    SCOPED_TRACE(name);
    const QString path = dir_.filePath(QString::fromUtf8(name));
    ASSERT_TRUE(save(path));
    if (QString::fromUtf8(name).endsWith(".html")) {
      const std::string html = read(path);
      EXPECT_NE(html.find("color:#ff0000\">岡</span>"), std::string::npos) << html;
      EXPECT_NE(html.find("color:#808080\">カ</span>"), std::string::npos) << html;
      continue;
    }
    // A text file ends where the box does; a document ends every paragraph.
    EXPECT_EQ(documents::openDocument(read(path)).text,
              QString::fromUtf8(name).endsWith(".txt") ? "岡山へ\r\nカナ" : text);
  }
  // The colours are the document's own run colours.
  QProcess unzip;
  unzip.start("unzip", {"-p", dir_.filePath("out.odt"), "content.xml"});
  ASSERT_TRUE(unzip.waitForFinished(10000));
  const QString content = QString::fromUtf8(unzip.readAllStandardOutput());
  EXPECT_TRUE(content.contains(QStringLiteral("#ff0000"), Qt::CaseInsensitive)) << "red";
  EXPECT_TRUE(content.contains(QStringLiteral("#808080"), Qt::CaseInsensitive)) << "grey";
}

// Saving added an empty paragraph at the end each time a document was opened and saved again.
TEST_F(FileTest, OpenedAndSavedAgainTheTextStaysTheSame) {
  for (const char* name : {"again.docx", "again.odt", "again.txt"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(open(write("first.txt", kText)));
    const QString path = dir_.filePath(QString::fromUtf8(name));
    ASSERT_TRUE(save(path));
    EXPECT_EQ(documents::openDocument(read(path)).text, kText);
  }
}

TEST_F(FileTest, ASaveThatCannotBeWrittenSaysWhyAndLeavesNoFile) {
  box().setPlainText(QStringLiteral("文章"));
  MessageBoxAnswerer answerer;
  EXPECT_FALSE(save(dir_.filePath("no such folder/out.docx")));
  EXPECT_FALSE(save(dir_.filePath("out.pdf")));
  ASSERT_EQ(answerer.seen.size(), 2u);
  EXPECT_TRUE(
      answerer.seen[0].text.startsWith(QStringLiteral("「out.docx」に保存できませんでした。")))
      << answerer.seen[0].text.toStdString();
  EXPECT_TRUE(answerer.seen[1].text.contains(QStringLiteral(".docx、.odt、.html、.txt")));
  EXPECT_FALSE(QFile::exists(dir_.filePath("out.pdf")));
}

TEST_F(FileTest, ATextChangedWhileItIsBeingSavedIsNotSavedHalfOld) {
  colourBox();
  MessageBoxAnswerer answerer;
  QSignalSpy saved(&files(), &ui::FileCommands::saved);
  ASSERT_TRUE(files().saveTo(dir_.filePath("out.docx")));
  box().insertPlainText(QStringLiteral("足した"));  // before the snapshot is whole
  ASSERT_TRUE(!saved.isEmpty() || saved.wait(20000));
  EXPECT_FALSE(saved[0][0].toBool());
  ASSERT_EQ(answerer.seen.size(), 1u);
  EXPECT_TRUE(answerer.seen[0].text.contains(QStringLiteral("保存の途中で文章が変わった")));
  EXPECT_FALSE(QFile::exists(dir_.filePath("out.docx")));
}

TEST_F(FileTest, AFileDroppedOnTheBoxOpens) {
  const QString path = write("dropped.txt", kText);
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(path)});
  data.setText(path);  // a file manager's drop names it too: the name must not be pasted
  QSignalSpy opened(&files(), &ui::FileCommands::opened);
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(box().viewport(), &enter);
  EXPECT_TRUE(enter.isAccepted()) << "the box takes the file";
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(box().viewport(), &drop);
  ASSERT_TRUE(!opened.isEmpty() || opened.wait(20000));
  EXPECT_TRUE(opened[0][0].toBool());
  EXPECT_EQ(boxText(), kBoxText);
}

TEST_F(FileTest, RecentFilesAreKeptLatestFirstAndOpenFromTheMenu) {
  const QString a = write("a.txt", "あ\r\n"), b = write("b.txt", "い\r\n");
  ASSERT_TRUE(open(a));
  ASSERT_TRUE(open(b));
  ASSERT_TRUE(open(a));
  const QStringList recent = ui::FileCommands::recentFiles();
  ASSERT_GE(recent.size(), 2);
  EXPECT_EQ(recent[0], a);
  EXPECT_EQ(recent[1], b);
  EXPECT_EQ(recent.count(a), 1) << "once, however often opened";

  QMenu* menu = files().recentMenu();
  Q_EMIT menu->aboutToShow();
  ASSERT_GE(menu->actions().size(), 2);
  EXPECT_EQ(menu->actions()[1]->text(), QStringLiteral("&2 b.txt"));
  QSignalSpy opened(&files(), &ui::FileCommands::opened);
  menu->actions()[1]->trigger();
  ASSERT_TRUE(!opened.isEmpty() || opened.wait(20000));
  EXPECT_EQ(boxText(), QStringLiteral("い\n"));
}

TEST_F(FileTest, APasteForgetsTheOpenedFile) {
  ASSERT_TRUE(open(write("a.txt", kText)));
  QGuiApplication::clipboard()->setText(QStringLiteral("貼った文章"));
  QSignalSpy pasted(&box(), &ui::PasteBox::pasteFinished);
  window().Button4Click();
  ASSERT_TRUE(!pasted.isEmpty() || pasted.wait(20000));
  EXPECT_EQ(files().openedFile(), nullptr);
  EXPECT_TRUE(control<QLabel>("FileLabel")->text().isEmpty());
}

// A long file is read on a worker and goes in a slice at a time: the box is still being
// filled when the open returns to the event loop.
TEST_F(FileTest, ALongFileGoesInWhileTheWindowStaysLive) {
  std::string text;
  while (text.size() < 5 * 1024 * 1024) text += "岡山県の漢字をチェックする文章です。\r\n";
  const QString path = write("long.txt", text);
  QSignalSpy opened(&files(), &ui::FileCommands::opened);
  ASSERT_TRUE(files().openFile(path));
  EXPECT_TRUE(files().isOpening());
  EXPECT_TRUE(control<QLabel>("FileLabel")->text().contains(QStringLiteral("long.txt")))
      << "progress shown";
  ASSERT_TRUE(opened.wait(60000));
  EXPECT_TRUE(opened[0][0].toBool());
  EXPECT_EQ(box().document()->blockCount(),
            static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1);
}

}  // namespace
}  // namespace torvane
