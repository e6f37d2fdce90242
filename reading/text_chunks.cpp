#include "reading/text_chunks.h"

#include <string_view>

#include "reading/kana.h"
#include "sjis/line_break.h"

namespace torvane::reading {
namespace {

// Searched as a string: a switch over them would run to forty lines.
constexpr std::u32string_view kSentenceEnds = U"。．！？｡";
constexpr std::u32string_view kClauseEnds = U" \t\u3000、，､：；・…‥;:」』）】〕〉》］｝〙〗｣)]}";

bool endsSentence(char32_t c) {
  return c != 0 && kSentenceEnds.find(c) != std::u32string_view::npos;
}

bool endsClause(char32_t c) {
  return c != 0 && kClauseEnds.find(c) != std::u32string_view::npos;
}

bool isDigit(char32_t c) {
  return (c >= U'0' && c <= U'9') || (c >= U'０' && c <= U'９');
}

bool isHiragana(char32_t c) {
  return c >= U'\u3041' && c <= U'\u309F';
}

}  // namespace

std::vector<TextChunk> analysisChunks(std::string_view utf8) {
  std::vector<TextChunk> chunks;
  std::size_t start = 0;
  auto cutAt = [&](std::size_t end) {
    if (end > start) chunks.push_back({start, end - start});
    start = end;
  };
  char32_t previous = 0;  // the character before i, within the line
  for (std::size_t i = 0; i < utf8.size();) {
    if (const std::size_t breakLength = sjis::lineBreakLengthAt(utf8, i)) {
      cutAt(i);
      i += breakLength;
      start = i;
      previous = 0;
      continue;
    }
    const Utf8Char c = utf8CharAt(utf8, i);
    const std::size_t size = i - start;  // of the chunk before this character
    if (size >= kLongChunk) {
      // Each test looks at the boundary before this character.
      const bool cut = (endsSentence(previous)) ||
                       (size >= 2 * kLongChunk && endsClause(previous) && !isDigit(c.value)) ||
                       (size >= 3 * kLongChunk && isKanji(c.value) && isHiragana(previous) &&
                        previous != U'お' && previous != U'ご') ||
                       size >= kMaxChunk;
      if (cut) cutAt(i);
    }
    previous = c.value;
    i += c.length;
  }
  cutAt(utf8.size());
  return chunks;
}

}  // namespace torvane::reading
