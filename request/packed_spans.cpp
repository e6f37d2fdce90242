#include "request/packed_spans.h"

namespace torvane::request {
namespace {

// Each span is one number, seven bits a byte (the high bit says another byte follows):
//   bits 0-1  the colour;
//   bit 2     long form: the length follows as a number of its own;
//   bit 3     short form: two bytes long, else one; long form: the offset is absolute;
//   the rest  the offset, counted from the last span's offset unless absolute.
// The pass colours characters in text order, so a span of a two-byte character two bytes after
// the last one packs into a single byte; only the reset to black takes the long form.
constexpr std::uint64_t kLongForm = 1 << 2;
constexpr std::uint64_t kWideOrAbsolute = 1 << 3;
constexpr unsigned kOffsetShift = 4;

std::uint64_t colourBits(checker::TextColor color) {
  switch (color) {
    case checker::TextColor::Black: return 0;
    case checker::TextColor::Red: return 1;
    case checker::TextColor::Grey: return 2;
  }
  return 0;
}

checker::TextColor colourOf(std::uint64_t bits) {
  switch (bits & 3) {
    case 1: return checker::TextColor::Red;
    case 2: return checker::TextColor::Grey;
    default: return checker::TextColor::Black;
  }
}

void appendNumber(std::vector<std::uint8_t>& out, std::uint64_t value) {
  while (value >= 0x80) {
    out.push_back(static_cast<std::uint8_t>(value | 0x80));
    value >>= 7;
  }
  out.push_back(static_cast<std::uint8_t>(value));
}

std::uint64_t readNumber(const std::uint8_t*& at) {
  std::uint64_t value = 0;
  for (unsigned shift = 0;; shift += 7) {
    const std::uint8_t byte = *at++;
    value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) return value;
  }
}

}  // namespace

void PackedSpans::push(const checker::Span& span) {
  const bool forward = span.offset >= lastOffset_;
  const std::uint64_t offset = forward ? span.offset - lastOffset_ : span.offset;
  std::uint64_t head = colourBits(span.color) | offset << kOffsetShift;
  if (forward && (span.length == 1 || span.length == 2)) {
    appendNumber(bytes_, head | (span.length == 2 ? kWideOrAbsolute : 0));
  } else {
    appendNumber(bytes_, head | kLongForm | (forward ? 0 : kWideOrAbsolute));
    appendNumber(bytes_, span.length);
  }
  lastOffset_ = span.offset;
  ++count_;
}

checker::Span PackedSpans::Reader::next() {
  const std::uint64_t head = readNumber(at);
  const std::uint64_t offset = head >> kOffsetShift;
  checker::Span span;
  span.color = colourOf(head);
  if ((head & kLongForm) == 0) {
    span.offset = offset + this->offset;
    span.length = (head & kWideOrAbsolute) != 0 ? 2 : 1;
  } else {
    span.offset = (head & kWideOrAbsolute) != 0 ? offset : offset + this->offset;
    span.length = readNumber(at);
  }
  this->offset = span.offset;
  return span;
}

std::vector<checker::Span> PackedSpans::unpacked() const {
  std::vector<checker::Span> spans;
  spans.reserve(count_);
  forEach([&spans](const checker::Span& span) { spans.push_back(span); });
  return spans;
}

}  // namespace torvane::request
