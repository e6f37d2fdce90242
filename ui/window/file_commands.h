// 「ファイル」: opening a text file, a .docx or an .odt into the upper box, saving the checked
// text with its colours, and the files opened lately. Reading and writing run on a worker, and
// the opened text goes into the box a slice at a time as one undo step, as a paste does, so a
// long file keeps the window live.
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <variant>

#include "documents/document.h"
#include "ui/textbox/clipboard_html.h"
#include "ui/textbox/opened_file.h"

class QAction;
class QLabel;
class QMenu;
class QWidget;

namespace torvane::ui {

class PasteBox;

// The kinds of file the window writes, told by the name's suffix.
enum class SavedFormat { Docx, Odt, Html, Text };
std::optional<SavedFormat> savedFormatOf(const QString& path);
// The file dialog's choices for them, the first the default.
QString savedFormatFilters();
// The suffix a filter of savedFormatFilters stands for ("docx", ...).
QString suffixOfFilter(const QString& filter);

// Why a document could not be opened or saved, in words a teacher can act on.
QString documentProblem(const documents::DocumentError& error);

class FileCommands : public QObject {
  Q_OBJECT

 public:
  // `window` is the dialogs' parent; `clearReport` empties the report once an opened text is
  // in; `busy` says when the window cannot take a new text (a check runs).
  FileCommands(QWidget* window, std::function<void()> clearReport, std::function<bool()> busy);
  ~FileCommands() override;
  // The upper box, which opening fills and saving writes out.
  void setBox(PasteBox* box) { box_ = box; }

  QAction* openAction() const { return open_; }
  QAction* saveAsAction() const { return saveAs_; }
  // The menu of recent files, which fills itself as it opens; the label that names the opened
  // file (or the progress of an opening).
  QMenu* recentMenu() const { return recent_; }
  QLabel* fileLabel() const { return label_; }

  // Asks for a file, then openFile.
  void open();
  // Reads the file on a worker and puts its text into the box, replacing the old one; false
  // when nothing was started (the box is busy). opened says how it went; a failure says why in
  // a message box and leaves the box as it was.
  bool openFile(const QString& path);
  bool isOpening() const { return opening_; }
  // The file the box was last filled from; none after a paste.
  const OpenedFile* openedFile() const { return opened_ ? &*opened_ : nullptr; }
  // The box no longer holds an opened file's text (a paste replaced it).
  void forgetOpenedFile();

  // Asks for a name and a kind, then saveTo.
  void saveAs();
  // Writes the box's text with its colours to `path` in the kind its suffix names, on a
  // worker, whole or not at all; saved says how it went, after a message box when it failed.
  bool saveTo(const QString& path);
  bool isSaving() const { return taker_ != nullptr || saving_.isRunning(); }

  // The files opened lately, the latest first, as the settings keep them.
  static QStringList recentFiles();

 Q_SIGNALS:
  void opened(bool ok);
  void saved(bool ok);

 private:
  struct Read {
    std::shared_ptr<const documents::OpenedDocument> document;
    QString text;
  };
  using Outcome = std::variant<Read, QString>;  // QString: why it failed
  static Outcome readFile(const QString& path);

  void take(const QString& path, Outcome outcome);
  void fail(const QString& path, const QString& problem, const QString& title);
  void remember(const QString& path);
  void fillRecentMenu();
  void showOpened();
  void setLabel(const QString& text);
  void takeSlice();
  bool reportSave(const QString& path, const QString& problem);

  QPointer<PasteBox> box_;
  QWidget* window_;
  std::function<void()> clearReport_;
  std::function<bool()> busy_;
  QAction* open_;
  QAction* saveAs_;
  QMenu* recent_;
  QLabel* label_;
  std::optional<OpenedFile> opened_;
  bool opening_ = false;
  QString readingPath_;
  QFutureWatcher<Outcome> reading_;
  // A save takes the box's snapshot a slice at a time, then writes on a worker.
  std::unique_ptr<SnapshotTaker> taker_;
  QMetaObject::Connection changed_;
  bool changedWhileTaking_ = false;
  QString savingPath_;
  SavedFormat savingFormat_ = SavedFormat::Docx;
  QFutureWatcher<QString> saving_;  // the problem, or nothing when the file is saved
};

}  // namespace torvane::ui
