// Strict UTF-8 decoding for text that enters from outside (files, standard input, tables).
#pragma once

#include <unicode/utf8.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace torvane::sjis {

// The one UTF-8 decoder: calls visit(character, byteOffset) for each character and returns the
// byte offset of the first ill-formed sequence, or nothing. Rejects overlong forms, surrogates,
// code points past U+10FFFF and cut-off sequences; nothing after a bad sequence is visited.
template <class Visit>
std::optional<std::size_t> forEachUtf8(std::string_view bytes, Visit&& visit) {
  const auto* s = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const auto length = static_cast<std::int64_t>(bytes.size());
  for (std::int64_t i = 0; i < length;) {
    const std::int64_t start = i;
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

// The whole text decoded; on a bad sequence, the characters before it.
Utf8Decoded decodeUtf8(std::string_view bytes);

}  // namespace torvane::sjis
