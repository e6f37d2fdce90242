// A paste into the upper box that may be long: a few megabytes of text take longer to insert,
// and HTML longer to parse, than the window may keep its event loop waiting. Short pastes are
// done at once; a long one is parsed on a worker thread and inserted a slice at a time, every
// slice joining one undo step.
#pragma once

#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QList>
#include <QObject>
#include <QTextCharFormat>
#include <QTextCursor>

#include "ui/textbox/clipboard_html.h"

class QMimeData;

namespace torvane::ui {

class PasteJob : public QObject {
  Q_OBJECT

 public:
  // Takes what `source` holds now; `cursor` has an edit block open, which the job closes.
  PasteJob(QTextCursor cursor, const QMimeData& source, const QTextCharFormat& plainFormat,
           QObject* parent = nullptr);
  ~PasteJob() override;

  bool finished() const { return finished_; }
  const QTextCursor& cursorAtEnd() const { return cursor_; }

 Q_SIGNALS:
  // The whole paste is in; the cursor stands at its end.
  void done(const QTextCursor& cursor);

 private:
  void start();
  void insertSlice();
  void finish();
  bool insertSomeParagraphs(const QElapsedTimer& clock);
  bool insertSomePlainText(const QElapsedTimer& clock);

  QTextCursor cursor_;
  QTextCharFormat plainFormat_;
  QString plain_;
  QString html_;
  QList<PastedParagraph> paragraphs_;
  qsizetype nextChar_ = 0;
  qsizetype nextParagraph_ = 0;
  bool blockOpen_ = true;  // the caller opens the edit block
  bool finished_ = false;
  QFutureWatcher<QList<PastedParagraph>> parsing_;
};

}  // namespace torvane::ui
