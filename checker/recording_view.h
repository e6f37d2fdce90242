// A view with no window behind it: it holds a text and a level and records what a check did.
// The command-line checker and the fuzz target run the pass through it.
#pragma once

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "checker/check_view.h"
#include "checker/result_list.h"

namespace torvane::checker {

struct Span {
  std::size_t offset = 0;
  std::size_t length = 0;
  TextColor color = TextColor::Black;
  bool operator==(const Span&) const = default;
};

struct CheckRecord {
  std::size_t spanCount = 0;  // colour changes, the reset to black included
  std::size_t progressCount = 0;
  std::vector<sjis::SjisText> reportLines;
  std::optional<Message> summary;
};

// Keeps every colour change, the reset to black first.
struct SpanList {
  std::vector<Span> spans;
  void operator()(const Span& span) { spans.push_back(span); }
};

// Counts the colour changes and keeps none.
struct NoSpans {
  void operator()(const Span&) {}
};

// SpanSink receives every colour change; the command line streams them straight into its output.
template <class SpanSink = SpanList>
class BasicRecordingView final : public CheckView {
 public:
  BasicRecordingView(sjis::SjisText text, int level, SpanSink sink = {})
      : text_(std::move(text)), level_(level), sink_(std::move(sink)) {}

  const CheckRecord& record() const { return record_; }
  CheckRecord takeRecord() && { return std::move(record_); }
  SpanSink& spans() { return sink_; }

  const sjis::SjisText& text() override { return text_; }
  void setSelectionStart(std::size_t offset) override {
    selectionStart_ = offset;
    selectionLength_ = 0;
  }
  void setSelectionLength(std::size_t length) override { selectionLength_ = length; }
  void setSelectionColor(TextColor color) override {
    ++record_.spanCount;
    sink_(Span{selectionStart_, selectionLength_, color});
  }
  void beginTextUpdate() override {}
  void endTextUpdate() override {}
  void beginReportUpdate() override {}
  void endReportUpdate() override {}
  void clearReport() override { record_.reportLines.clear(); }
  bool addReportLine(const sjis::SjisText& line) override {
    record_.reportLines.push_back(line);
    return true;
  }
  int levelIndex() override { return level_; }
  void showProgress(const sjis::SjisChar&) override { ++record_.progressCount; }
  void setProgressVisible(bool) override {}
  bool processPendingEvents() override { return true; }
  void showMessage(const Message& message) override { record_.summary = message; }

 private:
  sjis::SjisText text_;
  int level_;
  SpanSink sink_;
  std::size_t selectionStart_ = 0;
  std::size_t selectionLength_ = 0;
  CheckRecord record_;
};

using RecordingView = BasicRecordingView<SpanList>;

}  // namespace torvane::checker
