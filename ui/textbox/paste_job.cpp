#include "ui/textbox/paste_job.h"

#include <QMimeData>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <new>

namespace torvane::ui {
namespace {

// Below these sizes a paste is done at once: it takes a few milliseconds.
constexpr qsizetype kPlainAtOnce = 64 * 1024;
constexpr qsizetype kHtmlAtOnce = 128 * 1024;
constexpr qsizetype kParagraphsAtOnce = 2000;
// A slice inserts for about this long, then lets the event loop run.
constexpr qint64 kSliceMs = 12;
constexpr qsizetype kPlainPiece = 4096;

}  // namespace

QString pasteFailureMessage(bool outOfMemory) {
  // No closing 。: the failure box ends the message with a full stop of its own.
  return outOfMemory ? QStringLiteral(
                           "貼り付けられませんでした（メモリが足りません）。上の欄は元のままです")
                     : QStringLiteral("貼り付けられませんでした。上の欄は元のままです");
}

PasteJob::PasteJob(QTextCursor cursor, const QMimeData& source, const QTextCharFormat& plainFormat,
                   Prepare prepare, HtmlParser parse, QObject* parent)
    : QObject(parent),
      cursor_(std::move(cursor)),
      plainFormat_(plainFormat),
      prepare_(std::move(prepare)),
      parse_(std::move(parse)) {
  if (source.hasHtml()) {
    html_ = source.html();
  } else if (source.hasText()) {
    plain_ = source.text();
  }
}

PasteJob::~PasteJob() {
  // A window that closes mid-paste keeps what is in; the edit block must not stay open.
  if (blockOpen_) cursor_.endEditBlock();
}

// A failure of the parser, on whatever thread, becomes a message: thrown out of a slot it would
// end the program.
PasteJob::Parsed PasteJob::parseSafely(const HtmlParser& parse, const QString& html) {
  try {
    return parse(html);
  } catch (const std::bad_alloc&) {
    return pasteFailureMessage(true);
  } catch (...) {
    return pasteFailureMessage(false);
  }
}

void PasteJob::start() {
  if (html_.size() > kHtmlAtOnce) {
    // Qt's HTML parser runs in one go; on a worker thread it leaves the window live. The
    // document it builds is the worker's own and loads nothing.
    connect(&parsing_, &QFutureWatcher<Parsed>::finished, this,
            [this] { takeParsed(parsing_.future().takeResult()); });
    parsing_.setFuture(QtConcurrent::run(
        [parse = parse_, html = std::move(html_)] { return parseSafely(parse, html); }));
    html_.clear();
    return;
  }
  if (!html_.isEmpty()) {
    Parsed parsed = parseSafely(parse_, html_);
    html_.clear();
    if (auto* message = std::get_if<QString>(&parsed)) {
      fail(*message);
      return;
    }
    paragraphs_ = std::get<QList<PastedParagraph>>(std::move(parsed));
  }
  if (plain_.size() <= kPlainAtOnce && paragraphs_.size() < kParagraphsAtOnce) {
    insertAtOnce();
  } else {
    insertSlice();
  }
}

void PasteJob::takeParsed(Parsed parsed) {
  if (auto* message = std::get_if<QString>(&parsed)) {
    fail(*message);
    return;
  }
  paragraphs_ = std::get<QList<PastedParagraph>>(std::move(parsed));
  insertSlice();
}

// The first slice opens the paste's edit block and prepares the box; every later one joins it,
// so the whole paste is one undo step.
void PasteJob::openBlock() {
  if (blockOpen_) return;
  if (prepared_) {
    cursor_.joinPreviousEditBlock();
    blockOpen_ = true;
    return;
  }
  cursor_.beginEditBlock();
  blockOpen_ = true;
  prepared_ = true;
  if (prepare_) prepare_(cursor_);
}

void PasteJob::insertAtOnce() {
  bool more = true;
  while (more) {
    if (!insertFor(kSliceMs, more)) return;
  }
  finish();
}

void PasteJob::insertSlice() {
  bool more = true;
  if (!insertFor(kSliceMs, more)) return;
  if (!more) {
    finish();
    return;
  }
  cursor_.endEditBlock();
  blockOpen_ = false;
  QTimer::singleShot(0, this, &PasteJob::insertSlice);
}

bool PasteJob::insertFor(qint64 budgetMs, bool& more) {
  try {
    openBlock();
    QElapsedTimer clock;
    clock.start();
    do {
      more = insertSomePlainText() || insertSomeParagraphs(clock);
    } while (more && clock.elapsed() < budgetMs);
  } catch (const std::bad_alloc&) {
    fail(pasteFailureMessage(true));
    return false;
  } catch (...) {
    fail(pasteFailureMessage(false));
    return false;
  }
  return true;
}

void PasteJob::finish() {
  if (blockOpen_) cursor_.endEditBlock();
  blockOpen_ = false;
  finished_ = true;
  Q_EMIT done(cursor_);
}

void PasteJob::fail(const QString& message) {
  if (blockOpen_) cursor_.endEditBlock();
  blockOpen_ = false;
  finished_ = true;
  Q_EMIT failed(message);
}

// Inserts a piece of the plain text; false when there is none left.
bool PasteJob::insertSomePlainText() {
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
