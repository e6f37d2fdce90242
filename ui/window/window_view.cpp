#include "ui/window/window_view.h"

#include <QCoreApplication>
#include <QTextCursor>
#include <QTextDocument>

#include "ui/textbox/checked_box_text.h"
#include "ui/window/Unit1.h"
#include "ui/window/message_boxes.h"
#include "ui/window/worker.h"

namespace torvane::ui {
namespace {

// The event loop runs when this much time has passed since its last run, so the window
// repaints and answers input well within 50 ms.
constexpr qint64 kEventIntervalMs = 8;
constexpr qint64 kSliceMs = 6;
constexpr int kPieceChars = 4096;
constexpr qsizetype kConvertAtOnce = 256 * 1024;

QColor colourOf(checker::TextColor color) {
  switch (color) {
    case checker::TextColor::Red: return {255, 0, 0};
    case checker::TextColor::Grey: return {128, 128, 128};
    case checker::TextColor::Black: break;
  }
  return {0, 0, 0};
}

QString toQString(const sjis::SjisText& text) {
  return QString::fromStdString(sjis::toUtf8(text));
}

}  // namespace

// The document's raw text has one position per UTF-16 unit, paragraph and line separators
// included, as the cursor counts; those positions are what the bytes map back to. The pass
// walks this converted copy, which nothing else holds, so it cannot change under the pass.
const sjis::SjisText& WindowCheckView::text() {
  document_ = form_.RichEdit1->document();
  const QString raw = checkedTextOf(*document_);
  auto convert = [raw] { return encodeBoxText(raw); };  // the worker keeps its own copy
  if (raw.size() < kConvertAtOnce) {
    encoded_ = convert();
  } else {
    // Megabytes take longer to convert than the event loop may wait: a worker converts while
    // the window stays live (the box is read-only by now, so the text stays as it was read).
    std::optional<sjis::EncodedText> converted = runKeepingWindowLive(convert);
    if (!converted) {  // the application quits: there is nothing left to check
      stopRequested_ = true;
      converted = encodeBoxText(QString());
    }
    encoded_ = std::move(*converted);
  }
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
  // it scrolls, and scrolling once is enough.
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

// Writes the waiting colour changes from the front for about kSliceMs. A long span (the reset
// of the whole text) is written a piece at a time.
bool WindowCheckView::applySlice() {
  if (pending_.empty() || document_ == nullptr) return false;
  QTextCursor cursor(document_);
  form_.RichEdit1->joinColours(cursor);  // every slice goes into the one step
  QElapsedTimer timer;
  timer.start();
  for (bool first = true; !pending_.empty(); first = false) {
    if (!first && timer.elapsed() >= kSliceMs) break;
    Colouring& c = pending_.front();
    const int to = std::min(c.to, c.from + kPieceChars);
    cursor.setPosition(c.from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    QTextCharFormat format;
    format.setForeground(colourOf(c.color));
    cursor.mergeCharFormat(format);
    c.from = to;
    if (c.from >= c.to) pending_.pop_front();
  }
  cursor.endEditBlock();

  return true;
}

// Writes everything that waits, running the event loop between slices; a stop drops the rest.
void WindowCheckView::drainColourings() {
  while (!stopRequested_ && applySlice()) runEvents();
  if (stopRequested_) {
    pending_.clear();
  }
}

// The selection stands on the last coloured span, scrolled into view.
void WindowCheckView::selectLast() {
  QTextCursor cursor(document_);
  cursor.setPosition(lastFrom_);
  cursor.setPosition(lastTo_, QTextCursor::KeepAnchor);
  form_.RichEdit1->setTextCursor(cursor);
  form_.RichEdit1->ensureCursorVisible();
}

void WindowCheckView::beginTextUpdate() {
  batching_ = true;
  form_.RichEdit1->setUpdatesEnabled(false);
}

void WindowCheckView::endTextUpdate() {
  drainColourings();
  batching_ = false;
  if (selectionPending_ && !stopRequested_) selectLast();
  selectionPending_ = false;
  form_.RichEdit1->endColours();
  form_.RichEdit1->setUpdatesEnabled(true);  // one repaint
}

WindowCheckView::~WindowCheckView() {
  if (batching_) {
    pending_.clear();  // a failure or a stop: what was not coloured stays as it was
    endTextUpdate();
  }
  form_.StaticText1->hide();
  form_.RichEdit2->setUpdatesEnabled(true);
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
  const bool inserted = cursor.position() == start + text.size();
  // A list line of thousands of characters takes a while to lay out: the window stays live.
  if (sinceEvents_.elapsed() >= kEventIntervalMs) runEvents();
  return inserted;
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
  form_.StaticText1->setText(QString::fromStdString(sjis::toUtf8(progress_)));
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
  // A close request that came in while the report was written is honoured before the summary,
  // which would otherwise hold the window up.
  runEvents();
  if (stopRequested_) return;
  showMessageBox(message.kind == checker::MessageKind::Warning ? QMessageBox::Warning
                                                               : QMessageBox::Information,
                 QString::fromStdString(message.title), QString::fromStdString(message.text));
}

}  // namespace torvane::ui
