// A check view that keeps every call as one number, so that the calls of two passes over long
// texts can be held equal one by one without the cost of a word per call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "checker/check_view.h"
#include "sjis/sjis_text.h"

namespace torvane::testing {

class TraceView : public checker::CheckView {
 public:
  enum Call : std::uint64_t {
    Text = 1,
    SelectionStart,
    SelectionLength,
    SelectionColor,
    BeginText,
    EndText,
    BeginReport,
    EndReport,
    ClearReport,
    ReportLine,
    Level,
    Progress,
    ShowProgress,
    HideProgress,
    Events,
    Message,
  };
  static constexpr Call callOf(std::uint64_t entry) { return static_cast<Call>(entry >> 56); }

  explicit TraceView(sjis::SjisText text = {}, int level = 0)
      : text_(std::move(text)), level_(level) {}

  std::vector<std::uint64_t> calls;
  std::vector<sjis::SjisText> reportLines;
  std::optional<checker::Message> message;
  // The pass is asked to stop at this run of the event loop (1-based).
  std::optional<std::size_t> stopAtEventRun;

  const sjis::SjisText& text() override {
    add(Text);
    return text_;
  }
  void setSelectionStart(std::size_t offset) override { add(SelectionStart, offset); }
  void setSelectionLength(std::size_t length) override { add(SelectionLength, length); }
  void setSelectionColor(checker::TextColor color) override {
    add(SelectionColor, static_cast<std::uint64_t>(color));
  }
  void beginTextUpdate() override { add(BeginText); }
  void endTextUpdate() override { add(EndText); }
  void beginReportUpdate() override { add(BeginReport); }
  void endReportUpdate() override { add(EndReport); }
  void clearReport() override {
    add(ClearReport);
    reportLines.clear();
  }
  bool addReportLine(const sjis::SjisText& line) override {
    add(ReportLine);
    reportLines.push_back(line);
    return true;
  }
  int levelIndex() override {
    add(Level);
    return level_;
  }
  void showProgress(const sjis::SjisChar& c) override {
    // The code, the length and the character a placeholder stands for: all a character holds.
    add(Progress, static_cast<std::uint64_t>(c.foreign()) << 24 |
                      static_cast<std::uint64_t>(c.length()) << 16 | c.code());
  }
  void setProgressVisible(bool visible) override { add(visible ? ShowProgress : HideProgress); }
  bool processPendingEvents() override {
    add(Events);
    return !stopAtEventRun || ++eventRuns_ != *stopAtEventRun;
  }
  void showMessage(const checker::Message& m) override {
    add(Message);
    message = m;
  }

 private:
  void add(Call call, std::uint64_t argument = 0) {
    calls.push_back(static_cast<std::uint64_t>(call) << 56 | argument);
  }

  sjis::SjisText text_;
  int level_;
  std::size_t eventRuns_ = 0;
};

// The same view that also takes the source range of every coloured span.
class SourceTraceView final : public TraceView {
 public:
  using TraceView::TraceView;
  std::vector<std::pair<std::size_t, std::size_t>> sources;
  void setSelectionSource(std::size_t from, std::size_t to) { sources.emplace_back(from, to); }
};

}  // namespace torvane::testing
