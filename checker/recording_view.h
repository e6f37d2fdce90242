// A view with no window behind it: it holds a text and a level and records what a check did.
// The command-line checker and the fuzz targets run the pass through it.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "checker/check_pass.h"
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
  std::vector<Span> spans;  // every colour change, the reset to black first
  std::size_t progressCount = 0;
  std::vector<sjis::SjisText> reportLines;
  std::optional<Message> summary;
};

class RecordingView final : public CheckView {
 public:
  RecordingView(sjis::SjisText text, int level) : text_(std::move(text)), level_(level) {}

  const CheckRecord& record() const { return record_; }
  CheckRecord takeRecord() { return std::move(record_); }

  sjis::SjisText text() override { return text_; }
  void setSelectionStart(std::size_t offset) override {
    selectionStart_ = offset;
    selectionLength_ = 0;
  }
  void setSelectionLength(std::size_t length) override { selectionLength_ = length; }
  void setSelectionColor(TextColor color) override {
    record_.spans.push_back({selectionStart_, selectionLength_, color});
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
  std::size_t selectionStart_ = 0;
  std::size_t selectionLength_ = 0;
  CheckRecord record_;
};

}  // namespace torvane::checker
