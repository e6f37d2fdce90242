// Strict UTF-8 decoding for text that enters from outside (files, standard input, tables).
#pragma once

#include <unicode/utf8.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace torvane::sjis {

// Calls visit(character, byteOffset) for every character, and stops at the first ill-formed
// sequence (an overlong form, a surrogate, a code point past U+10FFFF or a cut-off sequence),
// returning its byte offset. Returns nothing when all of the text is well formed.
template <class Visit>
std::optional<std::size_t> forEachUtf8(std::string_view bytes, Visit&& visit) {
  const auto* s = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const auto length = static_cast<std::int64_t>(bytes.size());
  std::int64_t i = 0;
  while (i < length) {
    const std::int64_t start = i;
    if (s[i] < 0x80) {  // ASCII needs no decoder
      visit(static_cast<char32_t>(s[i++]), static_cast<std::size_t>(start));
      continue;
    }
    UChar32 c;
    U8_NEXT(s, i, length, c);
    if (c < 0) return static_cast<std::size_t>(start);
    visit(static_cast<char32_t>(c), static_cast<std::size_t>(start));
  }
  return std::nullopt;
}

struct Utf8Decoded {
  std::u32string text;
  std::optional<std::size_t> invalidAt;  // byte offset of the first ill-formed sequence
};

Utf8Decoded decodeUtf8(std::string_view bytes);

}  // namespace torvane::sjis
