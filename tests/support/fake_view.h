// A check view that records every call, for tests that pin the pass step by step.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "checker/check_view.h"
#include "checker/recording_view.h"
#include "sjis/codec.h"

namespace torvane::testing {

class FakeView final : public checker::CheckView {
 public:
  explicit FakeView(sjis::SjisText text, int level = 0) : text_(std::move(text)), level_(level) {}

  // Calls in order, as short words: "select 0", "length 2", "color red", "events", ...
  std::vector<std::string> calls;
  std::vector<checker::Span> spans;      // every colour change, the reset first
  std::vector<std::string> progress;     // UTF-8
  std::vector<std::string> reportLines;  // UTF-8
  std::vector<sjis::SjisText> reportLinesSjis;
  std::optional<checker::Message> message;
  int eventRuns = 0;

  // Called before each level read; lets a test change the level while the pass runs.
  std::function<int(int levelReads)> levelAt;
  // The pass is asked to stop at this run of the event loop (1-based).
  std::optional<int> stopAtEventRun;
  // The report box refuses this line (0-based).
  std::optional<std::size_t> refuseLine;

  const sjis::SjisText& text() override {
    calls.push_back("text");
    return text_;
  }
  void setSelectionStart(std::size_t offset) override {
    calls.push_back("select " + std::to_string(offset));
    start_ = offset;
    length_ = 0;
  }
  void setSelectionLength(std::size_t length) override {
    calls.push_back("length " + std::to_string(length));
    length_ = length;
  }
  void setSelectionColor(checker::TextColor color) override {
    static const char* names[] = {"black", "red", "grey"};
    calls.push_back(std::string("color ") + names[static_cast<int>(color)]);
    spans.push_back({start_, length_, color});
  }
  void beginTextUpdate() override { calls.push_back("begin text"); }
  void endTextUpdate() override { calls.push_back("end text"); }
  void beginReportUpdate() override { calls.push_back("begin report"); }
  void endReportUpdate() override { calls.push_back("end report"); }
  void clearReport() override {
    calls.push_back("clear report");
    reportLines.clear();
  }
  bool addReportLine(const sjis::SjisText& line) override {
    calls.push_back("line");
    if (refuseLine && *refuseLine == reportLines.size()) return false;
    reportLines.push_back(sjis::toUtf8(line));
    reportLinesSjis.push_back(line);
    return true;
  }
  int levelIndex() override {
    calls.push_back("level");
    return levelAt ? levelAt(++levelReads_) : level_;
  }
  void showProgress(const sjis::SjisChar& c) override {
    progress.push_back(sjis::toUtf8(c));
    calls.push_back("progress " + progress.back());
  }
  void setProgressVisible(bool visible) override {
    calls.push_back(visible ? "show progress" : "hide progress");
  }
  bool processPendingEvents() override {
    calls.push_back("events");
    ++eventRuns;
    return !stopAtEventRun || eventRuns != *stopAtEventRun;
  }
  void showMessage(const checker::Message& m) override {
    calls.push_back("message");
    message = m;
  }

 private:
  sjis::SjisText text_;
  int level_;
  int levelReads_ = 0;
  std::size_t start_ = 0;
  std::size_t length_ = 0;
};

}  // namespace torvane::testing
