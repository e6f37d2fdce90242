// Where torvane-check's output goes, and the JSON strings its writers share.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "sjis/sjis_text.h"

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
  // Text of any length, passed on a chunk at a time.
  void write(std::string_view text);
  // Writes what is left; false when any write failed.
  bool finish();

 private:
  static constexpr std::size_t kChunk = 1 << 20;
  void flush();

  std::FILE* file_;
  std::string buffer_;
  bool failed_ = false;
};

void appendNumber(std::string& out, std::size_t value);
// A JSON string: escapes what JSON requires, everything else passes as UTF-8.
void appendJsonString(std::string& out, std::string_view utf8);
// A JSON array of characters, each decoded from Shift_JIS.
void appendCharArray(OutputStream& stream, const std::vector<sjis::SjisChar>& entries);

}  // namespace torvane::cli
