#include "ui/window_view.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "ui/Unit1.h"
#include "ui/message_boxes.h"

namespace torvane::ui {
namespace {

// The event loop runs when this much time has passed since its last run, so the window
// repaints and answers input well within 50 ms.
constexpr qint64 kEventIntervalMs = 15;
constexpr qint64 kSliceMs = 10;
constexpr int kPieceChars = 8192;

QColor colourOf(checker::TextColor color) {
  switch (color) {
    case checker::TextColor::Red: return {255, 0, 0};
    case checker::TextColor::Grey: return {128, 128, 128};
    case checker::TextColor::Black: break;
  }
  return {0, 0, 0};
}

// A layout that lays out nothing, for a document that is not shown.
class NoLayout : public QAbstractTextDocumentLayout {
 public:
  using QAbstractTextDocumentLayout::QAbstractTextDocumentLayout;
  void draw(QPainter*, const PaintContext&) override {}
  int hitTest(const QPointF&, Qt::HitTestAccuracy) const override { return -1; }
  int pageCount() const override { return 1; }
  QSizeF documentSize() const override { return {}; }
  QRectF frameBoundingRect(QTextFrame*) const override { return {}; }
  QRectF blockBoundingRect(const QTextBlock&) const override { return {}; }

 protected:
  void documentChanged(int, int, int) override {}
};

QString toQString(const sjis::SjisText& text) {
  return QString::fromStdString(sjis::toUtf8(text));
}

}  // namespace

// The document's raw text has one position per UTF-16 unit, paragraph and line separators
// included, as the cursor counts; those positions are what the bytes map back to.
const sjis::SjisText& WindowCheckView::text() {
  const QTextDocument* document = form_.RichEdit1->document();
  QString raw = document->toRawText();
  raw.truncate(document->characterCount() - 1);  // not the document's closing separator
  sjis::SjisEncoder encoder(sjis::LineBreaks::ToCrLf, true);
  encoder.reserve(static_cast<std::size_t>(raw.size()));
  for (qsizetype i = 0; i < raw.size();) {
    char32_t c = raw[i].unicode();
    qsizetype units = 1;
    if (raw[i].isHighSurrogate() && i + 1 < raw.size() && raw[i + 1].isLowSurrogate()) {
      c = QChar::surrogateToUcs4(raw[i], raw[i + 1]);
      units = 2;
    }
    encoder.append(c, static_cast<std::uint32_t>(i));
    i += units;
  }
  encoded_ = std::move(encoder).finish(static_cast<std::uint32_t>(raw.size()));
  sinceEvents_.start();
  return encoded_.text;
}

std::pair<int, int> WindowCheckView::documentRange() const {
  const auto& map = encoded_.sourceOf;
  const std::size_t last = map.size() - 1;
  const std::size_t from = std::min(selectionStart_, last);
  const std::size_t to = std::min(selectionStart_ + selectionLength_, last);
  return {static_cast<int>(map[from]), static_cast<int>(map[to])};
}

void WindowCheckView::setSelectionStart(std::size_t offset) {
  selectionStart_ = offset;
  selectionLength_ = 0;
}

void WindowCheckView::setSelectionLength(std::size_t length) {
  selectionLength_ = length;
}

void WindowCheckView::setSelectionColor(checker::TextColor color) {
  const auto [from, to] = documentRange();
  // The selection goes onto the last coloured span once, when the colours are all in: placing
  // it scrolls, and scrolling lays the document out up to it.
  lastFrom_ = from;
  lastTo_ = to;
  selectionPending_ = true;
  // Neighbouring spans of one colour become one change.
  if (!pending_.empty() && pending_.back().to == from && pending_.back().color == color) {
    pending_.back().to = to;
  } else {
    pending_.push_back({from, to, color});
  }
}

// Writes the waiting colour changes from the front, in one edit block, for about kSliceMs. A
// long span (the reset of the whole text) is written a piece at a time.
bool WindowCheckView::applySlice() {
  if (next_ >= pending_.size()) return false;
  QElapsedTimer timer;
  timer.start();
  QTextCursor cursor(document_ != nullptr ? document_ : form_.RichEdit1->document());
  cursor.beginEditBlock();
  for (int written = 0; next_ < pending_.size(); ++written) {
    if (written % 32 == 31 && timer.elapsed() >= kSliceMs) break;
    Colouring& c = pending_[next_];
    const int to = std::min(c.to, c.from + kPieceChars);
    cursor.setPosition(c.from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    QTextCharFormat format;
    format.setForeground(colourOf(c.color));
    cursor.mergeCharFormat(format);
    c.from = to;
    if (c.from >= c.to) ++next_;
  }
  cursor.endEditBlock();
  if (next_ >= pending_.size()) {
    pending_.clear();
    next_ = 0;
  }
  return true;
}

// Writes everything that waits, running the event loop between slices.
void WindowCheckView::drainColourings() {
  while (applySlice()) runEvents();
}

// The selection stands on the last coloured span, scrolled into view.
void WindowCheckView::selectLast(int from, int to) {
  QTextCursor cursor(form_.RichEdit1->document());
  cursor.setPosition(from);
  cursor.setPosition(to, QTextCursor::KeepAnchor);
  form_.RichEdit1->setTextCursor(cursor);
  form_.RichEdit1->ensureCursorVisible();
}

// While redrawing is off, the box holds an empty stand-in (nothing is painted, so the window
// keeps showing the text as it was), and its document is coloured without a layout: a laid-out
// document re-lays the text of every edit block, which costs more than the colouring. The
// document goes back into the box, laid out anew, at the end.
void WindowCheckView::beginTextUpdate() {
  batching_ = true;
  QTextEdit& box = *form_.RichEdit1;
  box.setUpdatesEnabled(false);
  document_ = box.document();
  documentParent_ = document_->parent();
  document_->setParent(nullptr);  // kept alive while the box holds the stand-in
  box.setDocument(new QTextDocument(&box));
  undoWasEnabled_ = document_->isUndoRedoEnabled();
  document_->setUndoRedoEnabled(false);  // colours are no edit to undo
  document_->setDocumentLayout(new NoLayout(document_));
}

void WindowCheckView::endTextUpdate() {
  drainColourings();
  batching_ = false;
  // Scrolling to the last span lays the document out up to it, all at once: the box has no way
  // to do that a piece at a time. The time is kept for the benchmark.
  QElapsedTimer settling;
  settling.start();
  reattachDocument();
  if (selectionPending_) selectLast(lastFrom_, lastTo_);
  selectionPending_ = false;
  settleMs_ = settling.elapsed();
  form_.RichEdit1->setUpdatesEnabled(true);  // one repaint
}

void WindowCheckView::reattachDocument() {
  if (document_ == nullptr) return;
  QTextEdit& box = *form_.RichEdit1;
  document_->setDocumentLayout(nullptr);  // a fresh layout is made when the box asks for one
  document_->setUndoRedoEnabled(undoWasEnabled_);
  document_->setParent(documentParent_);
  QTextDocument* standIn = box.document();
  box.setDocument(document_);
  if (standIn != document_ && standIn->parent() == &box) delete standIn;
  document_ = nullptr;
}

WindowCheckView::~WindowCheckView() {
  if (!pending_.empty()) drainColourings();
  reattachDocument();
}

void WindowCheckView::beginReportUpdate() {
  form_.RichEdit2->setUpdatesEnabled(false);
}
void WindowCheckView::endReportUpdate() {
  form_.RichEdit2->setUpdatesEnabled(true);
}

void WindowCheckView::clearReport() {
  form_.RichEdit2->clear();
  reportLines_ = 0;
}

// A line is in when the caret stands right after it; anything else is a refused line.
bool WindowCheckView::addReportLine(const sjis::SjisText& line) {
  QTextCursor cursor(form_.RichEdit2->document());
  cursor.movePosition(QTextCursor::End);
  if (reportLines_++ > 0) cursor.insertBlock();
  const int start = cursor.position();
  const QString text = toQString(line);
  cursor.insertText(text);
  return cursor.position() == start + text.size();
}

int WindowCheckView::levelIndex() {
  return form_.levelIndex();
}

// The box shows what it holds whenever the window repaints, so the character is handed over
// when the event loop runs rather than once per character.
void WindowCheckView::showProgress(const sjis::SjisChar& c) {
  progress_ = c;
  progressChanged_ = true;
}

void WindowCheckView::setProgressVisible(bool visible) {
  if (visible) showPendingProgress();
  form_.StaticText1->setVisible(visible);
  if (!visible) runEventsNow_ = true;  // the walk is over: the next run is not to be skipped
}

void WindowCheckView::showPendingProgress() {
  if (!progressChanged_) return;
  progressChanged_ = false;
  std::string utf8 = sjis::toUtf8(progress_);
  form_.StaticText1->setText(QString::fromStdString(utf8));
}

bool WindowCheckView::processPendingEvents() {
  if (sinceEvents_.elapsed() >= kEventIntervalMs || !batching_ || runEventsNow_) {
    runEventsNow_ = false;
    applySlice();
    runEvents();
  }
  return !stopRequested_;
}

void WindowCheckView::runEvents() {
  longestGapMs_ = std::max(longestGapMs_, sinceEvents_.elapsed());
  showPendingProgress();
  QCoreApplication::processEvents();
  sinceEvents_.restart();
}

void WindowCheckView::showMessage(const checker::Message& message) {
  if (stopRequested_) return;  // the window closes: a summary would only hold it up
  showMessageBox(message.kind == checker::MessageKind::Warning ? QMessageBox::Warning
                                                               : QMessageBox::Information,
                 QString::fromStdString(message.title), QString::fromStdString(message.text));
}

}  // namespace torvane::ui
