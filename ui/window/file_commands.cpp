#include "ui/window/file_commands.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <new>

#include "documents/marks.h"
#include "documents/writers.h"
#include "ui/textbox/clipboard_html.h"
#include "ui/textbox/paste_box.h"
#include "ui/window/message_boxes.h"

namespace torvane::ui {
namespace {

const QString kRecentKey = QStringLiteral("recentFiles");
constexpr int kRecentFiles = 8;
// 64 MB of text is over thirty million characters, far more than any text a class reads and
// more than the box shows and checks in reasonable time.
constexpr qint64 kLargestFile = 64LL * 1024 * 1024;
// The walk over the box's runs for a save goes in slices this long, well inside the 50 ms the
// event loop may wait.
constexpr qint64 kSnapshotSliceMs = 15;

QSettings storedChoices() {
  return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("torvane"),
                   QStringLiteral("torvane"));
}

QString outOfMemory() {
  return QStringLiteral("メモリが足りません。");
}

// What the window shows of a file: its name.
QString nameOf(const QString& path) {
  return QFileInfo(path).fileName();
}

std::string localPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

// The box's text as a document: paragraphs (and line breaks within them) ending with CR LF, as
// the documents layer reads and writes them, and the check's red and grey as marks.
struct BoxDocument {
  std::string text;
  documents::Marks marks;
};

std::optional<documents::MarkColour> markColourOf(const QTextFormat& format) {
  if (!format.isCharFormat() || !format.hasProperty(QTextFormat::ForegroundBrush)) return {};
  const QColor colour = format.foreground().color();
  if (colour == QColor(255, 0, 0)) return documents::MarkColour::Red;
  if (colour == QColor(128, 128, 128)) return documents::MarkColour::Grey;
  return {};
}

BoxDocument boxDocumentOf(const CopySnapshot& snapshot) {
  BoxDocument out;
  out.text.reserve(static_cast<std::size_t>(snapshot.text.size()) * 3);
  auto colour = [&](std::size_t begin, std::optional<documents::MarkColour> c) {
    if (!c || begin == out.text.size()) return;
    std::vector<documents::ColourRange>& colours = out.marks.colours;
    if (!colours.empty() && colours.back().end == begin && colours.back().colour == *c) {
      colours.back().end = out.text.size();
    } else {
      colours.push_back({begin, out.text.size(), *c});
    }
  };
  qsizetype at = 0;
  std::size_t run = 0;
  for (const CopySnapshot::Paragraph& paragraph : snapshot.paragraphs) {
    // Between paragraphs only: the box holds an opened document's last CR LF as an empty last
    // paragraph, which must not come back as one more.
    if (&paragraph != &snapshot.paragraphs.front()) out.text += "\r\n";
    for (int i = 0; i < paragraph.runs; ++i, ++run) {
      const CopySnapshot::Run& r = snapshot.runs[run];
      const std::optional<documents::MarkColour> c = markColourOf(snapshot.formats[r.format]);
      // A line break within a paragraph is a paragraph's end in the document, and uncoloured.
      qsizetype from = at;
      for (qsizetype end = at; end <= at + r.length; ++end) {
        if (end < at + r.length && snapshot.text[end] != QChar::LineSeparator) continue;
        const std::size_t begin = out.text.size();
        out.text += snapshot.text.mid(from, end - from).toStdString();
        colour(begin, c);
        if (end < at + r.length) out.text += "\r\n";
        from = end + 1;
      }
      at += r.length;
    }
    ++at;  // the separator
  }
  return out;
}

// Writes the box's text in `format`; the problem, or nothing when it is saved.
QString writeBox(const CopySnapshot& snapshot, SavedFormat format, const QString& path) {
  try {
    std::string bytes;
    if (format == SavedFormat::Html) {
      bytes = htmlForCopy(snapshot).toStdString();
    } else {
      const BoxDocument box = boxDocumentOf(snapshot);
      switch (format) {
        case SavedFormat::Docx: bytes = documents::writeNewDocx(box.text, box.marks); break;
        case SavedFormat::Odt: bytes = documents::writeNewOdt(box.text, box.marks); break;
        default: bytes = documents::writeText(box.text, {}); break;
      }
    }
    documents::saveAtomically(localPath(path), bytes);
    return {};
  } catch (const documents::DocumentError& error) {
    return documentProblem(error);
  } catch (const std::bad_alloc&) {
    return outOfMemory();
  } catch (...) {
    return QStringLiteral("ファイルに書き込めませんでした。");
  }
}

}  // namespace

std::optional<SavedFormat> savedFormatOf(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("docx")) return SavedFormat::Docx;
  if (suffix == QLatin1String("odt")) return SavedFormat::Odt;
  if (suffix == QLatin1String("html") || suffix == QLatin1String("htm")) return SavedFormat::Html;
  if (suffix == QLatin1String("txt")) return SavedFormat::Text;
  return std::nullopt;
}

QString savedFormatFilters() {
  return QStringLiteral(
      "Word 文書 (*.docx);;OpenDocument テキスト (*.odt);;HTML ファイル (*.html *.htm);;"
      "テキストファイル (*.txt)");
}

QString suffixOfFilter(const QString& filter) {
  const qsizetype star = filter.indexOf(QLatin1String("*."));
  if (star < 0) return QStringLiteral("docx");
  qsizetype end = star + 2;
  while (end < filter.size() && filter[end].isLetterOrNumber()) ++end;
  return filter.mid(star + 2, end - star - 2);
}

QString documentProblem(const documents::DocumentError& error) {
  switch (error.kind()) {
    case documents::ErrorKind::UnknownFormat:
      return QStringLiteral(
          "この形式のファイルは開けません。開けるのは Word 文書（.docx）、OpenDocument テキスト"
          "（.odt）とテキストファイルです。");
    case documents::ErrorKind::DamagedPackage:
      return QStringLiteral("ファイルが壊れているため、読めませんでした。");
    case documents::ErrorKind::Encrypted:
      return QStringLiteral(
          "パスワードで保護された文書は開けません。保護を外して保存し直してから開いてください。");
    case documents::ErrorKind::LegacyWord:
      return QStringLiteral(
          "古い Word の形式（.doc）の文書は開けません。Word か LibreOffice で .docx の形式に"
          "保存し直してから開いてください。");
    case documents::ErrorKind::TooLarge:
      return QStringLiteral("文書が大きすぎるため、開けませんでした。");
    case documents::ErrorKind::UnsafeXml:
      return QStringLiteral("文書に安全でない定義（DTD）が含まれているため、開けませんでした。");
    case documents::ErrorKind::UndecodableText:
      return QStringLiteral(
          "文字コードがわからないため、読めませんでした。UTF-8 か Shift_JIS で保存し直して"
          "ください。");
    case documents::ErrorKind::DiskFull:
      return QStringLiteral(
          "ディスクに空きがないため、書き込めませんでした。空きを作ってから、もう一度保存して"
          "ください。");
    case documents::ErrorKind::NoPermission:
      return QStringLiteral(
          "この場所には書き込めません。書き込んでよいフォルダーを選んでください。");
    case documents::ErrorKind::WriteFailed: break;
  }
  return QStringLiteral("ファイルに書き込めませんでした。");
}

FileCommands::FileCommands(QWidget* window, std::function<void()> clearReport,
                           std::function<bool()> busy)
    : QObject(window),
      window_(window),
      clearReport_(std::move(clearReport)),
      busy_(std::move(busy)) {
  open_ = new QAction(QStringLiteral("開く(&O)…"), this);
  open_->setObjectName(QStringLiteral("OpenAction"));
  open_->setShortcut(QKeySequence::Open);
  connect(open_, &QAction::triggered, this, &FileCommands::open);

  saveAs_ = new QAction(QStringLiteral("名前を付けて保存(&A)…"), this);
  saveAs_->setObjectName(QStringLiteral("SaveAsAction"));
  saveAs_->setShortcut(QKeySequence::SaveAs);
  connect(saveAs_, &QAction::triggered, this, &FileCommands::saveAs);

  recent_ = new QMenu(QStringLiteral("最近使ったファイル(&R)"), window);
  recent_->setObjectName(QStringLiteral("RecentMenu"));
  connect(recent_, &QMenu::aboutToShow, this, &FileCommands::fillRecentMenu);
  fillRecentMenu();

  label_ = new QLabel(window);
  label_->setObjectName(QStringLiteral("FileLabel"));
  label_->setContentsMargins(0, 0, 16, 0);

  connect(&reading_, &QFutureWatcher<Outcome>::finished, this,
          [this] { take(readingPath_, reading_.result()); });
}

FileCommands::~FileCommands() = default;

QStringList FileCommands::recentFiles() {
  return storedChoices().value(kRecentKey).toStringList();
}

void FileCommands::remember(const QString& path) {
  QStringList files = recentFiles();
  const QString full = QFileInfo(path).absoluteFilePath();
  files.removeAll(full);
  files.prepend(full);
  while (files.size() > kRecentFiles) files.removeLast();
  QSettings choices = storedChoices();
  choices.setValue(kRecentKey, files);
  fillRecentMenu();
}

void FileCommands::fillRecentMenu() {
  recent_->clear();
  const QStringList files = recentFiles();
  for (int i = 0; i < files.size(); ++i) {
    // The number is the mnemonic; the folder shows as the item's tip.
    QAction* item = recent_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(nameOf(files[i])));
    item->setToolTip(files[i]);
    item->setStatusTip(files[i]);
    connect(item, &QAction::triggered, this, [this, path = files[i]] { openFile(path); });
  }
  recent_->setToolTipsVisible(true);
  recent_->setEnabled(!files.isEmpty());
}

void FileCommands::showOpened() {
  setLabel(opened_ ? QStringLiteral("文書：%1").arg(nameOf(opened_->path)) : QString());
  label_->setToolTip(opened_ ? opened_->path : QString());
}

void FileCommands::setLabel(const QString& text) {
  label_->setText(text);
  // A menu bar sizes its corner once, when it is set: set again, it makes room for the text.
  QWidget* corner = label_->parentWidget();
  if (auto* bar = qobject_cast<QMenuBar*>(corner != nullptr ? corner->parentWidget() : nullptr)) {
    corner->adjustSize();
    bar->setCornerWidget(corner, Qt::TopRightCorner);
  }
}

void FileCommands::forgetOpenedFile() {
  if (opening_) return;
  opened_.reset();
  showOpened();
}

void FileCommands::open() {
  if (opening_ || busy_()) return;
  const QString start = opened_ ? QFileInfo(opened_->path).absolutePath() : QString();
  const QString path = QFileDialog::getOpenFileName(
      window_, QStringLiteral("開く"), start,
      QStringLiteral(
          "文書とテキストファイル (*.docx *.odt *.txt *.text *.csv);;Word 文書 (*.docx);;"
          "OpenDocument テキスト (*.odt);;テキストファイル (*.txt);;すべてのファイル (*)"));
  if (!path.isEmpty()) openFile(path);
}

FileCommands::Outcome FileCommands::readFile(const QString& path) {
  try {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
      return file.error() == QFileDevice::PermissionsError
                 ? QStringLiteral("このファイルを読むことが許されていません。")
                 : QStringLiteral("ファイルが見つからないか、読めませんでした。");
    }
    if (file.size() > kLargestFile) {
      return QStringLiteral("ファイルが大きすぎるため、開けませんでした（%1 MB まで開けます）。")
          .arg(kLargestFile / (1024 * 1024));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
      return QStringLiteral("ファイルを読む途中で失敗しました。");
    auto document = std::make_shared<documents::OpenedDocument>(
        documents::openDocument(std::string(bytes.constData(), bytes.size())));
    QString text =
        QString::fromUtf8(document->text.data(), static_cast<qsizetype>(document->text.size()));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return Read{std::move(document), std::move(text)};
  } catch (const documents::DocumentError& error) {
    return documentProblem(error);
  } catch (const std::bad_alloc&) {
    return outOfMemory();
  } catch (...) {
    return QStringLiteral("ファイルを読めませんでした。");
  }
}

bool FileCommands::openFile(const QString& path) {
  if (opening_ || busy_() || box_ == nullptr || box_->isPasting()) return false;
  opening_ = true;
  open_->setEnabled(false);
  setLabel(QStringLiteral("「%1」を読んでいます…").arg(nameOf(path)));
  readingPath_ = path;
  reading_.setFuture(QtConcurrent::run(&FileCommands::readFile, path));
  return true;
}

void FileCommands::take(const QString& path, Outcome outcome) {
  if (auto* problem = std::get_if<QString>(&outcome)) {
    fail(path, *problem, QStringLiteral("開く"));
    return;
  }
  if (box_ == nullptr || busy_() || box_->isPasting()) {
    fail(path, QStringLiteral("上の欄が使われているため、開けませんでした。"),
         QStringLiteral("開く"));
    return;
  }
  Read read = std::get<Read>(std::move(outcome));
  setLabel(QStringLiteral("「%1」を開いています…").arg(nameOf(path)));
  // A failure while the text goes in is shown by the window; the box is as it was.
  auto failed = std::make_shared<QMetaObject::Connection>();
  *failed = connect(box_, &PasteBox::failed, this, [this, failed] {
    disconnect(*failed);
    opening_ = false;
    open_->setEnabled(true);
    showOpened();
    Q_EMIT opened(false);
  });
  box_->replaceAllWithText(read.text, [this, path, failed, document = read.document] {
    disconnect(*failed);
    opening_ = false;
    open_->setEnabled(true);
    if (clearReport_) clearReport_();
    opened_ = OpenedFile{path, document};
    remember(path);
    showOpened();
    Q_EMIT opened(true);
  });
}

void FileCommands::fail(const QString& path, const QString& problem, const QString& title) {
  opening_ = false;
  open_->setEnabled(true);
  showOpened();
  showMessageBox(QMessageBox::Warning, title,
                 QStringLiteral("「%1」を開けませんでした。\n%2").arg(nameOf(path), problem));
  Q_EMIT opened(false);
}

void FileCommands::saveAs() {
  if (box_ == nullptr || box_->isPasting() || opening_) return;
  const QString base =
      opened_ ? QFileInfo(opened_->path).completeBaseName() : QStringLiteral("文章");
  const QString folder = opened_ ? QFileInfo(opened_->path).absolutePath() : QString();
  QString filter;
  QString path = QFileDialog::getSaveFileName(
      window_, QStringLiteral("名前を付けて保存"),
      QFileInfo(folder, base + QStringLiteral(".docx")).filePath(), savedFormatFilters(), &filter);
  if (path.isEmpty()) return;  // the teacher cancelled
  if (!savedFormatOf(path)) path += QLatin1Char('.') + suffixOfFilter(filter);
  saveTo(path);
}

bool FileCommands::saveTo(const QString& path) {
  if (box_ == nullptr || isSaving()) return false;
  const std::optional<SavedFormat> format = savedFormatOf(path);
  if (!format) {
    return reportSave(path, QStringLiteral("保存できる形式は .docx、.odt、.html、.txt です。"
                                           "名前の終わりにどれかを付けてください。"));
  }
  savingPath_ = path;
  savingFormat_ = *format;
  changedWhileTaking_ = false;
  QTextCursor all(box_->document());
  all.select(QTextCursor::Document);
  try {
    taker_ = std::make_unique<SnapshotTaker>(all, box_->font());
  } catch (const std::bad_alloc&) {
    return reportSave(path, outOfMemory());
  }
  // Any change to the text or its colours before the snapshot is whole spoils it.
  changed_ = connect(box_->document(), &QTextDocument::contentsChange, this,
                     [this] { changedWhileTaking_ = true; });
  // The text alone took a slice's time over a long one: the walk starts after a turn of the
  // event loop.
  QTimer::singleShot(0, this, &FileCommands::takeSlice);
  return true;
}

void FileCommands::takeSlice() {
  const QString path = savingPath_;
  auto stop = [&](const QString& problem) {
    disconnect(changed_);
    taker_.reset();
    reportSave(path, problem);
  };
  if (changedWhileTaking_ || box_ == nullptr) {
    stop(QStringLiteral(
        "保存の途中で文章が変わったため、保存しませんでした。もう一度保存してください。"));
    return;
  }
  try {
    // A slice at a time, the event loop running between them.
    if (!taker_->more(kSnapshotSliceMs)) {
      QTimer::singleShot(0, this, &FileCommands::takeSlice);
      return;
    }
    CopySnapshot snapshot = std::move(*taker_).take();
    disconnect(changed_);
    taker_.reset();
    saving_.disconnect(this);
    connect(&saving_, &QFutureWatcher<QString>::finished, this,
            [this, path] { reportSave(path, saving_.result()); });
    saving_.setFuture(QtConcurrent::run(writeBox, std::move(snapshot), savingFormat_, path));
  } catch (const std::bad_alloc&) {
    stop(outOfMemory());
  }
}

bool FileCommands::reportSave(const QString& path, const QString& problem) {
  if (!problem.isEmpty()) {
    showMessageBox(QMessageBox::Warning, QStringLiteral("名前を付けて保存"),
                   QStringLiteral("「%1」に保存できませんでした。\n%2").arg(nameOf(path), problem));
  }
  Q_EMIT saved(problem.isEmpty());
  return problem.isEmpty();
}

}  // namespace torvane::ui
