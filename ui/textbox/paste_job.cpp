#include "ui/textbox/paste_job.h"

#include <QMimeData>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace torvane::ui {
namespace {

// Below these sizes a paste is done at once: it takes a few milliseconds.
constexpr qsizetype kPlainAtOnce = 64 * 1024;
constexpr qsizetype kHtmlAtOnce = 128 * 1024;
// A slice inserts for about this long, then lets the event loop run.
constexpr qint64 kSliceMs = 12;
constexpr qsizetype kPlainPiece = 4096;

}  // namespace

PasteJob::PasteJob(QTextCursor cursor, const QMimeData& source, const QTextCharFormat& plainFormat,
                   QObject* parent)
    : QObject(parent), cursor_(std::move(cursor)), plainFormat_(plainFormat) {
  if (source.hasHtml()) {
    html_ = source.html();
  } else if (source.hasText()) {
    plain_ = source.text();
  }
  start();
}

PasteJob::~PasteJob() {
  // A window that closes mid-paste keeps what is in; the edit block must not stay open.
  if (blockOpen_) cursor_.endEditBlock();
}

void PasteJob::start() {
  if (html_.size() > kHtmlAtOnce) {
    // Qt's HTML parser runs in one go; on a worker thread it leaves the window live. The
    // document it builds is the worker's own and loads nothing. The edit block is closed
    // meanwhile and joined again by the first slice.
    cursor_.endEditBlock();
    blockOpen_ = false;
    connect(&parsing_, &QFutureWatcher<QList<PastedParagraph>>::finished, this, [this] {
      paragraphs_ = parsing_.result();
      insertSlice();
    });
    parsing_.setFuture(
        QtConcurrent::run([html = std::move(html_)] { return paragraphsFromHtml(html); }));
    html_.clear();
    return;
  }
  if (!html_.isEmpty()) paragraphs_ = paragraphsFromHtml(html_);
  html_.clear();
  if (plain_.size() <= kPlainAtOnce && paragraphs_.size() < 2000) {
    // At once, in the edit block the caller opened.
    QElapsedTimer unbounded;
    unbounded.start();
    while (insertSomePlainText(unbounded) || insertSomeParagraphs(unbounded)) {
    }
    finish();
    return;
  }
  insertSlice();
}

void PasteJob::insertSlice() {
  if (!blockOpen_) cursor_.joinPreviousEditBlock();  // every slice goes into one undo step
  blockOpen_ = true;
  QElapsedTimer clock;
  clock.start();
  bool more = true;
  while (more && clock.elapsed() < kSliceMs) {
    more = insertSomePlainText(clock) || insertSomeParagraphs(clock);
  }
  if (!more) {
    finish();
    return;
  }
  cursor_.endEditBlock();
  blockOpen_ = false;
  QTimer::singleShot(0, this, &PasteJob::insertSlice);
}

void PasteJob::finish() {
  if (blockOpen_) cursor_.endEditBlock();
  blockOpen_ = false;
  finished_ = true;
  Q_EMIT done(cursor_);
}

// Inserts a piece of the plain text; false when there is none left.
bool PasteJob::insertSomePlainText(const QElapsedTimer&) {
  if (nextChar_ >= plain_.size()) return false;
  const qsizetype length = std::min(kPlainPiece, plain_.size() - nextChar_);
  qsizetype end = nextChar_ + length;
  // A surrogate pair and a CR LF stay whole.
  if (end < plain_.size() &&
      (plain_[end].isLowSurrogate() || (plain_[end] == u'\n' && plain_[end - 1] == u'\r'))) {
    ++end;
  }
  cursor_.insertText(plain_.mid(nextChar_, end - nextChar_), plainFormat_);
  nextChar_ = end;
  return true;
}

// Inserts some paragraphs of the parsed HTML; false when there are none left.
bool PasteJob::insertSomeParagraphs(const QElapsedTimer& clock) {
  if (nextParagraph_ >= paragraphs_.size()) return false;
  do {
    const PastedParagraph& paragraph = paragraphs_[nextParagraph_];
    if (nextParagraph_ > 0) cursor_.insertBlock(QTextBlockFormat(), paragraph.blockCharFormat);
    for (const PastedRun& run : paragraph.runs) cursor_.insertText(run.text, run.format);
    ++nextParagraph_;
  } while (nextParagraph_ < paragraphs_.size() &&
           (nextParagraph_ % 64 != 0 || clock.elapsed() < kSliceMs));
  return true;
}

}  // namespace torvane::ui
