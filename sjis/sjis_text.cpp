#include "sjis/sjis_text.h"

#include "sjis/byte_type.h"

namespace torvane::sjis {

void SjisText::append(const SjisChar& c) {
  if (c.length == 2) {
    if (c.foreign != 0) foreign.push_back({bytes.size(), c.foreign});
    bytes.push_back(static_cast<char>(c.code >> 8));
  }
  bytes.push_back(static_cast<char>(c.code & 0xFF));
}

void SjisText::append(const SjisText& text) {
  for (const ForeignChar& f : text.foreign) foreign.push_back({bytes.size() + f.offset, f.character});
  bytes += text.bytes;
}

SjisChar charAt(const SjisText& text, std::size_t offset, std::size_t& foreignCursor) {
  const auto& bytes = text.bytes;
  const auto lead = static_cast<std::uint8_t>(bytes[offset]);
  if (!isLeadRange(lead) || offset + 1 >= bytes.size() || bytes[offset + 1] == '\0') {
    return SjisChar::single(lead);
  }
  SjisChar c = SjisChar::pair(lead, static_cast<std::uint8_t>(bytes[offset + 1]));
  if (c.code == kPlaceholderCode) {
    const auto& foreign = text.foreign;
    while (foreignCursor < foreign.size() && foreign[foreignCursor].offset < offset) ++foreignCursor;
    if (foreignCursor < foreign.size() && foreign[foreignCursor].offset == offset) {
      c.foreign = foreign[foreignCursor].character;
    }
  }
  return c;
}

}  // namespace torvane::sjis
