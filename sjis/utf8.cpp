#include "sjis/utf8.h"

namespace torvane::sjis {

Utf8Decoded decodeUtf8(std::string_view bytes) {
  Utf8Decoded out;
  out.invalidAt = forEachUtf8(bytes, [&out](char32_t c, std::size_t) { out.text.push_back(c); });
  return out;
}

}  // namespace torvane::sjis
