// What ends a line, in Unicode and in UTF-8: the one definition that the conversion to Shift_JIS,
// the analyser's sentences and the rewritten text share, so that they always agree on the lines.
#pragma once

#include <cstddef>
#include <string_view>

namespace torvane::sjis {

// LF, CR, U+2028 LINE SEPARATOR and U+2029 PARAGRAPH SEPARATOR: the breaks a text box's
// document can hold. A CR LF pair is one break; the callers join it.
constexpr bool isLineBreak(char32_t character) {
  return character == U'\n' || character == U'\r' || character == 0x2028 || character == 0x2029;
}

// The UTF-8 lead byte of both separators (E2 80 A8, E2 80 A9).
inline constexpr char kSeparatorLead = '\xE2';

// Whether a UTF-8 byte can begin a line break, so that runs without one are skipped bytewise.
constexpr bool mayStartLineBreak(char byte) {
  return byte == '\n' || byte == '\r' || byte == kSeparatorLead;
}

// The length of the line break that begins at byte `i` of UTF-8 text: 1 for LF or CR, 3 for
// U+2028 or U+2029, 0 where none begins.
constexpr std::size_t lineBreakLengthAt(std::string_view utf8, std::size_t i) {
  if (utf8[i] == '\n' || utf8[i] == '\r') return 1;
  const bool separator = utf8[i] == kSeparatorLead && i + 2 < utf8.size() &&
                         utf8[i + 1] == '\x80' && (utf8[i + 2] == '\xA8' || utf8[i + 2] == '\xA9');
  return separator ? 3 : 0;
}

static_assert(lineBreakLengthAt("\xE2\x80\xA8", 0) == 3 &&
              lineBreakLengthAt("\xE2\x80\xA6", 0) == 0);
static_assert(lineBreakLengthAt("\r\n", 0) == 1 && lineBreakLengthAt("\xE2\x80", 0) == 0);

}  // namespace torvane::sjis
