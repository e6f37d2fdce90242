// Strict UTF-8 decoding for text that enters from outside (files, standard input, tables).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace torvane::sjis {

struct Utf8Decoded {
  std::u32string text;
  std::optional<std::size_t> invalidAt;  // byte offset of the first ill-formed sequence
};

// Rejects overlong forms, surrogates, code points past U+10FFFF and cut-off sequences.
Utf8Decoded decodeUtf8(std::string_view bytes);

}  // namespace torvane::sjis
