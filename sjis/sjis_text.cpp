#include "sjis/sjis_text.h"

#include <algorithm>

namespace torvane::sjis {

void SjisText::append(const SjisChar& c) {
  if (c.length() == 2) {
    if (c.foreign() != 0) foreign.push_back({bytes.size(), c.foreign()});
    bytes.push_back(static_cast<char>(c.code() >> 8));
  }
  bytes.push_back(static_cast<char>(c.code() & 0xFF));
}

void SjisText::append(const SjisText& text) {
  for (const ForeignChar& f : text.foreign)
    foreign.push_back({bytes.size() + f.offset, f.character});
  bytes += text.bytes;
}

SjisText slice(const SjisText& text, std::size_t offset, std::size_t length) {
  SjisText part;
  part.bytes = text.bytes.substr(offset, length);
  const std::size_t end = offset + part.bytes.size();
  auto f = std::ranges::lower_bound(text.foreign, offset, {}, &ForeignChar::offset);
  for (; f != text.foreign.end() && f->offset < end; ++f) {
    part.foreign.push_back({f->offset - offset, f->character});
  }
  return part;
}

char32_t foreignAt(const SjisText& text, std::size_t offset, std::size_t& foreignCursor) {
  const auto& foreign = text.foreign;
  while (foreignCursor < foreign.size() && foreign[foreignCursor].offset < offset) ++foreignCursor;
  if (foreignCursor < foreign.size() && foreign[foreignCursor].offset == offset) {
    return foreign[foreignCursor].character;
  }
  return 0;
}

}  // namespace torvane::sjis
