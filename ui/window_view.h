// The main window as the check pass sees it: the upper box's text in Shift_JIS with the way back
// to document positions, batched colouring, the report box, the level, the progress box, the
// event loop and the message boxes.
#pragma once

#include <QElapsedTimer>
#include <QString>

#include <vector>

#include "checker/check_view.h"
#include "sjis/codec.h"

namespace torvane::ui {

class TForm1;

class WindowCheckView final : public checker::CheckView {
 public:
  explicit WindowCheckView(TForm1& form) : form_(form) {}

  // Asks the running pass to stop at its next byte (the window is closing).
  void requestStop() { stopRequested_ = true; }
  // The longest stretch between two runs of the event loop in the last pass, in milliseconds.
  qint64 longestEventGapMs() const { return longestGapMs_; }

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
  void apply(const std::vector<Colouring>& colourings);
  void flushColourings();
  void selectLast(int from, int to);
  void showPendingProgress();

  TForm1& form_;
  sjis::EncodedText encoded_;
  std::size_t selectionStart_ = 0;
  std::size_t selectionLength_ = 0;
  // Colour changes of a batch wait here and go into the document in one edit block whenever the
  // event loop runs, and at the end of the batch; redrawing stays off meanwhile.
  bool batching_ = false;
  std::vector<Colouring> pending_;
  bool selectionPending_ = false;
  int lastFrom_ = 0, lastTo_ = 0;
  int reportLines_ = 0;
  sjis::SjisChar progress_;
  bool progressChanged_ = false;
  bool stopRequested_ = false;
  bool runEventsNow_ = false;
  QElapsedTimer sinceEvents_;
  qint64 longestGapMs_ = 0;
};

}  // namespace torvane::ui
