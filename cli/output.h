// What torvane-check writes: the plain report and summary, or one JSON object.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "checker/recording_view.h"
#include "checker/result_list.h"
#include "checker/table_changes.h"
#include "tables/table_set.h"

namespace torvane::cli {

// A buffer in front of a file that is written out whenever it holds 1 MiB, so a large output
// never sits in memory whole.
class OutputStream {
 public:
  explicit OutputStream(std::FILE* file) : file_(file) { buffer_.reserve(kChunk + 4096); }
  std::string& buffer() { return buffer_; }
  void flushIfFull() {
    if (buffer_.size() >= kChunk) flush();
  }
  // Writes what is left; false when any write failed.
  bool finish();

 private:
  static constexpr std::size_t kChunk = 1 << 20;
  void flush();

  std::FILE* file_;
  std::string buffer_;
  bool failed_ = false;
};

// The report lines as the lower box holds them, then the summary; UTF-8 with LF line ends.
void writePlain(OutputStream& out, const checker::CheckRecord& record);
// One line per change after the summary: CHAR, the 1989 stage, the 2020 stage, the count.
void writePlainTableChanges(OutputStream& out, const std::vector<checker::TableChange>& changes);

// The JSON object is written in steps, so the spans go out as the pass makes them.
void writeJsonHead(OutputStream& out, int level, tables::TableSet tables,
                   std::size_t bytes);  // up to the spans
class JsonSpanWriter {
 public:
  explicit JsonSpanWriter(OutputStream& out) : out_(&out) {}
  void operator()(const checker::Span& span);  // skips the first change, the reset to black

 private:
  OutputStream* out_;
  std::size_t seen_ = 0;
};
// From the end of the spans to the summary; keys that follow it come next, then the end.
void writeJsonTail(OutputStream& out, const checker::CheckRecord& record,
                   const checker::ResultLists& lists);
void writeJsonTableChanges(OutputStream& out, const std::vector<checker::TableChange>& changes);
void writeJsonEnd(OutputStream& out);

// A JSON string: escapes what JSON requires, everything else passes as UTF-8.
void appendJsonString(std::string& out, std::string_view utf8);
// A JSON array of characters, each decoded from Shift_JIS.
void appendCharArray(OutputStream& stream, const std::vector<sjis::SjisChar>& entries);

}  // namespace torvane::cli
