// A paste into the upper box that may be long: a few megabytes of text take longer to insert,
// and HTML longer to parse, than the window may keep its event loop waiting. Short pastes are
// done at once; a long one is parsed on a worker thread and inserted a slice at a time, every
// slice joining one undo step. Nothing in the box changes before the text is ready, so a paste
// that fails leaves the box as it was.
#pragma once

#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QList>
#include <QObject>
#include <QTextCharFormat>
#include <QTextCursor>

#include <functional>
#include <variant>

#include "ui/textbox/clipboard_html.h"

class QMimeData;

namespace torvane::ui {

class PasteJob : public QObject {
  Q_OBJECT

 public:
  using HtmlParser = std::function<QList<PastedParagraph>(const QString& html)>;
  // What the paste does to the box before its first character goes in, in the paste's edit
  // block (the paste button clears the old text there).
  using Prepare = std::function<void(QTextCursor& cursor)>;

  // Takes what `source` holds now; the paste goes in at `cursor`, replacing its selection.
  // `parse` may run on a worker thread.
  PasteJob(QTextCursor cursor, const QMimeData& source, const QTextCharFormat& plainFormat,
           Prepare prepare, HtmlParser parse, QObject* parent = nullptr);
  ~PasteJob() override;

  // Starts the paste, which may be over before this returns (done or failed emitted).
  void start();
  bool finished() const { return finished_; }
  // Whether the box was changed: what went in before a failure is one undo step to take back.
  bool touchedBox() const { return prepared_; }
  const QTextCursor& cursorAtEnd() const { return cursor_; }

 Q_SIGNALS:
  // The whole paste is in; the cursor stands at its end.
  void done(const QTextCursor& cursor);
  // Nothing was pasted: the box is as it was. The message is for the user, in Japanese.
  void failed(const QString& message);

 private:
  using Parsed = std::variant<QList<PastedParagraph>, QString>;  // the paragraphs, or why not
  static Parsed parseSafely(const HtmlParser& parse, const QString& html);
  void takeParsed(Parsed parsed);
  void insertSlice();
  void insertAtOnce();
  // Inserts for about `budgetMs` or until done (`more` false); false when the paste failed and
  // was reported.
  bool insertFor(qint64 budgetMs, bool& more);
  void openBlock();
  void finish();
  void fail(const QString& message);
  bool insertSomeParagraphs(const QElapsedTimer& clock);
  bool insertSomePlainText();

  QTextCursor cursor_;
  QTextCharFormat plainFormat_;
  Prepare prepare_;
  HtmlParser parse_;
  QString plain_;
  QString html_;
  QList<PastedParagraph> paragraphs_;
  qsizetype nextChar_ = 0;
  qsizetype nextParagraph_ = 0;
  bool prepared_ = false;   // the box has been touched: the edit block was opened once
  bool blockOpen_ = false;  // between the slices the block is closed and joined again
  bool finished_ = false;
  QFutureWatcher<Parsed> parsing_;
};

// The message of a paste that failed, for the failure box.
QString pasteFailureMessage(bool outOfMemory);

}  // namespace torvane::ui
