// The main window as the check pass sees it: the upper box's text in Shift_JIS with the way back
// to document positions, batched colouring, the report box, the level, the progress box, the
// event loop and the message boxes.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTextDocument>

#include <vector>

#include "checker/check_view.h"
#include "sjis/codec.h"

namespace torvane::ui {

class TForm1;

class WindowCheckView final : public checker::CheckView {
 public:
  explicit WindowCheckView(TForm1& form) : form_(form) {}
  ~WindowCheckView() override;
  WindowCheckView(const WindowCheckView&) = delete;
  WindowCheckView& operator=(const WindowCheckView&) = delete;

  // Asks the running pass to stop at its next byte (the window is closing).
  void requestStop() { stopRequested_ = true; }
  // The longest stretch between two runs of the event loop in the last pass, in milliseconds.
  qint64 longestEventGapMs() const { return longestGapMs_; }
  // How long putting the coloured document back and scrolling to the last span took.
  qint64 settleMs() const { return settleMs_; }

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
  void reattachDocument();
  void selectLast(int from, int to);
  void showPendingProgress();

  TForm1& form_;
  sjis::EncodedText encoded_;
  std::size_t selectionStart_ = 0;
  std::size_t selectionLength_ = 0;
  // Colour changes wait here in order and go into the document a slice at a time, one edit
  // block per slice, whenever the event loop runs; the end of the batch writes the rest.
  // Redrawing stays off meanwhile.
  bool batching_ = false;
  std::vector<Colouring> pending_;
  std::size_t next_ = 0;  // the first change not yet written
  bool selectionPending_ = false;
  QTextDocument* document_ = nullptr;  // the box's own document while it shows a copy
  QObject* documentParent_ = nullptr;
  bool undoWasEnabled_ = true;
  int lastFrom_ = 0, lastTo_ = 0;
  int reportLines_ = 0;
  sjis::SjisChar progress_;
  bool progressChanged_ = false;
  bool stopRequested_ = false;
  bool runEventsNow_ = false;
  QElapsedTimer sinceEvents_;
  qint64 longestGapMs_ = 0;
  qint64 settleMs_ = 0;
};

}  // namespace torvane::ui
