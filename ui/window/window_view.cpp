#include "ui/window/window_view.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include "checker/unicode_pass.h"
#include "sjis/unicode_forms.h"
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
// The glyphs of a long report line are looked up this many characters at a time before the
// line goes in: the first time, a thousand kanji (fallback fonts for some) take tens of
// milliseconds, and once their glyphs are known the line lays out several times faster.
constexpr qsizetype kGlyphPieceChars = 256;
// What came in before the summary is handled, however many rounds it takes to reach the
// window (the window system's queue feeds the application's), within this bound.
constexpr int kSettleMs = 20;
// A click under way is let finish before the summary, whose modal box would swallow its
// release; a button held down longer than this is not waited for.
constexpr qint64 kPressWaitMs = 5000;

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

WindowCheckView::WindowCheckView(TForm1& form) : form_(form), lastLevel_(form.levelIndex()) {}

void WindowCheckView::requestStop() {
  stopRequested_ = true;
  if (summary_) summary_->reject();  // the window closes, the summary with it
}

void WindowCheckView::readDocument() {
  stage_ = CheckStage::Reading;
  document_ = form_.RichEdit1->document();
  boxText_ = checkedTextOf(*document_);
}

// The document's raw text has one position per UTF-16 unit, paragraph and line separators
// included, as the cursor counts; those positions are what the colours go to. The pass walks
// this copy, which nothing else holds, so it cannot change under the pass.
checker::CheckEnd WindowCheckView::runCheck(const checker::UnicodeClassifier& classifier,
                                            checker::ResultLists& lists) {
  readDocument();
  const auto measured = sjis::measureUtf16({reinterpret_cast<const char16_t*>(boxText_.utf16()),
                                            static_cast<std::size_t>(boxText_.size())});
  sinceEvents_.start();
  return checker::runUnicodeCheckWith(*this, measured, classifier, lists);
}

void WindowCheckView::setSelectionSource(std::size_t from, std::size_t to) {
  source_ = {static_cast<int>(from), static_cast<int>(to)};
}

// For the pass over the converted text.
const sjis::SjisText& WindowCheckView::text() {
  readDocument();
  // The worker keeps its own copy.
  auto convert = [raw = boxText_] { return encodeBoxText(raw); };
  if (boxText_.size() < kConvertAtOnce) {
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
  const auto [from, to] = source_ ? *source_ : documentRange();
  source_.reset();
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
// After the walk the progress box shows where the colours have got to.
void WindowCheckView::drainColourings() {
  while (!stopRequested_ && applySlice()) {
    if (stage_ == CheckStage::Colouring && !pending_.empty()) {
      showInProgress(characterAt(pending_.front().from));
    }
    runEvents();
  }
  if (stopRequested_) {
    pending_.clear();
  }
}

QString WindowCheckView::characterAt(int position) const {
  const QChar c = document_->characterAt(position);
  if (c.isHighSurrogate()) return QString(c) + document_->characterAt(position + 1);
  return QString(c);
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
  if (stage_ == CheckStage::Colouring && !stopRequested_) stage_ = CheckStage::Reporting;
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
  stage_ = CheckStage::Idle;
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

// A line is in when the caret stands right after it; anything else is a refused line. A list
// line of thousands of characters is laid out at once, as one paragraph must be; its glyphs
// are looked up first, a piece at a time with the window live in between, so that the
// layout finds them known. The progress box shows the pieces going by.
bool WindowCheckView::addReportLine(const sjis::SjisText& line) {
  const QString text = toQString(line);
  if (text.size() > kGlyphPieceChars) {
    const QFontMetrics metrics(form_.RichEdit2->document()->defaultFont());
    for (qsizetype from = 0; from < text.size();) {
      qsizetype to = std::min(text.size(), from + kGlyphPieceChars);
      if (text[to - 1].isHighSurrogate() && to < text.size()) ++to;  // a pair stays whole
      const QString piece = text.sliced(from, to - from);
      metrics.horizontalAdvance(piece);
      // The last character, not the comma after it.
      qsizetype end = piece.size();
      if (end > 1 && piece[end - 1] == QLatin1Char(',')) --end;
      const qsizetype last = piece[end - 1].isLowSurrogate() && end > 1 ? 2 : 1;
      showInProgress(piece.sliced(end - last, last));
      from = to;
      if (sinceEvents_.elapsed() >= kEventIntervalMs) runEvents();
    }
  }
  QTextCursor cursor(form_.RichEdit2->document());
  cursor.movePosition(QTextCursor::End);
  if (reportLines_++ > 0) cursor.insertBlock();
  const int start = cursor.position();
  cursor.insertText(text);
  if (sinceEvents_.elapsed() >= kEventIntervalMs) runEvents();
  return cursor.position() == start + text.size();
}

int WindowCheckView::levelIndex() {
  lastLevel_ = form_.levelIndex();
  return lastLevel_;
}

// The box shows what it holds whenever the window repaints, so the character is handed over
// when the event loop runs rather than once per character.
void WindowCheckView::showProgress(const sjis::SjisChar& c) {
  progress_ = c;
  progressIsText_ = false;
  progressChanged_ = true;
}

void WindowCheckView::showInProgress(QString text) {
  progressText_ = std::move(text);
  progressIsText_ = true;
  progressChanged_ = true;
}

// The walk's end does not hide the progress box yet: the colours it found and the report
// still take a while on a long text, and the box shows them going in until the summary.
void WindowCheckView::setProgressVisible(bool visible) {
  if (visible) {
    stage_ = CheckStage::Walking;
    showPendingProgress();
    form_.StaticText1->show();
    return;
  }
  if (stage_ == CheckStage::Walking) stage_ = CheckStage::Colouring;
  if (stopRequested_) form_.StaticText1->hide();
  runEventsNow_ = true;  // the walk is over: the next run is not to be skipped
}

void WindowCheckView::showPendingProgress() {
  if (!progressChanged_) return;
  progressChanged_ = false;
  form_.StaticText1->setText(progressIsText_ ? progressText_
                                             : QString::fromStdString(sjis::toUtf8(progress_)));
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

// Everything already sent to the window is handled before the summary box comes up, and a
// click under way is let finish: its release would go to the modal box and be lost.
void WindowCheckView::settleBeforeSummary() {
  runEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents, kSettleMs);
  QElapsedTimer held;
  held.start();
  while (!stopRequested_ && pressUnderWay() && held.elapsed() < kPressWaitMs) {
    QEventLoop waiting;
    QTimer::singleShot(kEventIntervalMs, &waiting, &QEventLoop::quit);
    waiting.exec();
  }
  QCoreApplication::processEvents(QEventLoop::AllEvents, kSettleMs);
  sinceEvents_.restart();
}

bool WindowCheckView::pressUnderWay() const {
  if (QGuiApplication::mouseButtons() != Qt::NoButton) return true;
  for (const QPushButton* button : {form_.Button1, form_.Button2, form_.Button3, form_.Button4}) {
    if (button->isDown()) return true;  // held by the keyboard's space bar
  }
  return false;
}

// A close request that came in during the report or just before the summary is honoured
// instead of it; one that comes while the summary is up closes it (see requestStop).
void WindowCheckView::showMessage(const checker::Message& message) {
  stage_ = CheckStage::Summary;
  form_.StaticText1->hide();
  settleBeforeSummary();
  if (stopRequested_) return;
  showMessageBox(message.kind == checker::MessageKind::Warning ? QMessageBox::Warning
                                                               : QMessageBox::Information,
                 QString::fromStdString(message.title), QString::fromStdString(message.text),
                 &summary_);
}

}  // namespace torvane::ui
