// The colour changes of a check, packed: most take one byte where a checker::Span takes 24, so a
// run over a long text can keep every one of them for the writer that shows them all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "checker/recording_view.h"

namespace torvane::request {

class PackedSpans {
 public:
  void push(const checker::Span& span);

  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  std::size_t byteSize() const { return bytes_.size(); }  // what they take packed

  // Calls visit(span) for every span, in the order they were pushed.
  template <class Visit>
  void forEach(Visit&& visit) const {
    Reader reader{bytes_.data(), bytes_.data() + bytes_.size(), 0};
    while (reader.at != reader.end) visit(reader.next());
  }

  std::vector<checker::Span> unpacked() const;

 private:
  struct Reader {
    const std::uint8_t* at;
    const std::uint8_t* end;
    std::size_t offset;  // of the span read last
    checker::Span next();
  };

  std::vector<std::uint8_t> bytes_;
  std::size_t count_ = 0;
  std::size_t lastOffset_ = 0;
};

}  // namespace torvane::request
