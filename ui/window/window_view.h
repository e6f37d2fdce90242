// The main window as the check pass sees it: the upper box's text in Shift_JIS with the way back
// to document positions, batched colouring, the report box, the level, the progress box, the
// event loop and the message boxes.
#pragma once

#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QString>

#include <deque>
#include <optional>
#include <utility>

#include <memory>
#include <vector>
#include "checker/check_pass.h"

#include "checker/allowed_words.h"
#include "checker/allowing_classifier.h"
#include "checker/check_view.h"
#include "checker/result_list.h"
#include "checker/unicode_classifier.h"
#include "sjis/codec.h"
#include "ui/textbox/paste_box.h"

class QTextDocument;

namespace torvane::ui {

class TForm1;

// Where a check stands, as the window shows it.
enum class CheckStage {
  Idle,
  Reading,    // the text is converted
  Walking,    // the pass visits the text, a character at a time
  Colouring,  // the walk is over; the colours it found still go into the box
  Reporting,  // the report box is written
  Summary,    // the summary box is about to come up, or up
};

class WindowCheckView final : public checker::CheckView {
 public:
  explicit WindowCheckView(TForm1& form);
  // Whatever way the pass ends, a normal end, a stop or a failure, the box is left editable
  // and redrawn and the progress box hidden.
  ~WindowCheckView() override;
  WindowCheckView(const WindowCheckView&) = delete;
  WindowCheckView& operator=(const WindowCheckView&) = delete;

  // Asks the running pass to stop at its next byte (the window is closing): colours still
  // waiting are dropped, and no report or summary follows; a summary already up is closed.
  void requestStop();
  bool stopRequested() const { return stopRequested_; }
  CheckStage stage() const { return stage_; }
  // The longest stretch between two runs of the event loop in the last pass, in milliseconds.
  qint64 longestEventGapMs() const { return longestGapMs_; }
  // The level the pass classified its last character at (the level of the last colours); the
  // level the window showed when the check began if it classified none.
  int levelOfLastCharacter() const { return lastLevel_; }

  // Runs the pass over the box's text as it stands, classified from its UTF-16 units without
  // converting it: the same calls, colours, lists and report as the pass over the converted text.
  checker::CheckEnd runCheck(const checker::UnicodeClassifier& classifier,
                             checker::ResultLists& lists);
  // Where the next coloured bytes stand in the box's text, from the Unicode pass.
  void setSelectionSource(std::size_t from, std::size_t to);

  const sjis::SjisText& text() override;
  void setSelectionStart(std::size_t offset) override;
  void setSelectionLength(std::size_t length) override;
  void setSelectionColor(checker::TextColor color) override;
  void beginTextUpdate() override;
  void endTextUpdate() override;
  void beginReportUpdate() override;
  void endReportUpdate() override;
  void clearReport() override;
  bool addReportLine(const sjis::SjisText& line) override;
  int levelIndex() override;
  void showProgress(const sjis::SjisChar& c) override;
  void setProgressVisible(bool visible) override;
  bool processPendingEvents() override;
  void showMessage(const checker::Message& message) override;

 private:
  struct Colouring {
    int from, to;  // document positions
    checker::TextColor color;
  };
  // The document range of the selected bytes.
  std::pair<int, int> documentRange() const;
  bool applySlice();
  void drainColourings();
  void runEvents();
  void settleBeforeSummary();
  bool pressUnderWay() const;
  void selectLast();
  void showPendingProgress();
  void showInProgress(QString text);
  QString characterAt(int position) const;

  void readDocument();

  TForm1& form_;
  QTextDocument* document_ = nullptr;  // the upper box's document, as the pass found it
  // The text the pass walks: the box's text, or its conversion with the map back into the box.
  QString boxText_;
  sjis::EncodedText encoded_;
  std::optional<std::pair<int, int>> source_;  // the next colour's range, when the pass gave it
  std::size_t selectionStart_ = 0;
  std::size_t selectionLength_ = 0;
  // Colour changes wait here in order and go into the document a slice at a time whenever the
  // event loop runs; the end of the batch writes the rest. Redrawing stays off meanwhile.
  bool batching_ = false;
  // A deque: it grows without moving what it holds, which for a long text would hold the
  // event loop, and gives back what was written.
  std::deque<Colouring> pending_;
  bool selectionPending_ = false;
  int lastFrom_ = 0, lastTo_ = 0;
  int reportLines_ = 0;
  // The progress box shows the walk's character, converted only when the window repaints;
  // after the walk, the text of the colours and report lines going in.
  sjis::SjisChar progress_;
  QString progressText_;
  bool progressIsText_ = false;
  bool progressChanged_ = false;
  int lastLevel_ = 0;
  CheckStage stage_ = CheckStage::Idle;
  QPointer<QMessageBox> summary_;
  bool stopRequested_ = false;
  bool runEventsNow_ = false;
  QElapsedTimer sinceEvents_;
  qint64 longestGapMs_ = 0;
};

}  // namespace torvane::ui
