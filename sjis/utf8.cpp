#include "sjis/utf8.h"

#include <unicode/utf8.h>

#include <cstdint>

namespace torvane::sjis {

Utf8Decoded decodeUtf8(std::string_view bytes) {
  Utf8Decoded out;
  out.text.reserve(bytes.size());
  const auto* s = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const auto length = static_cast<std::int64_t>(bytes.size());
  for (std::int64_t i = 0; i < length;) {
    const std::int64_t start = i;
    UChar32 c;
    U8_NEXT(s, i, length, c);
    if (c < 0) {
      out.invalidAt = static_cast<std::size_t>(start);
      return out;
    }
    out.text.push_back(static_cast<char32_t>(c));
  }
  return out;
}

}  // namespace torvane::sjis
