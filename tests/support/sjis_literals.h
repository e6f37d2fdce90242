// Helpers that keep byte-level test rows short.
#pragma once

#include <string>
#include <string_view>

#include "sjis/codec.h"
#include "sjis/utf8.h"

namespace torvane::testing {

// Shift_JIS text from UTF-8 source text, converted as the text box converts it.
inline sjis::SjisText sjisOf(std::string_view utf8) {
  return sjis::encode(sjis::decodeUtf8(utf8).text).text;
}

inline std::string bytesOf(std::string_view utf8) {
  return sjisOf(utf8).bytes;
}

inline sjis::SjisChar charOf(std::string_view utf8) {
  const sjis::SjisText text = sjisOf(utf8);
  std::size_t cursor = 0;
  return sjis::charAt(text, 0, cursor);
}

}  // namespace torvane::testing
