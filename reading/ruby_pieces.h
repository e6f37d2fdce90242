// Ruby pieces: where a word's reading goes. The word's kana are anchors the reading must pass
// through, and each run of kanji between them takes the part of the reading up to the next
// anchor; a run whose reading cannot be told apart from its neighbour's (今日 きょう, a word the
// dictionary reads only as a whole) shares one piece with it, the kana between them included.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sjis/sjis_text.h"

namespace torvane::reading {

// One ruby: the characters at [offset, offset + length) of the checked Shift_JIS text, read
// `reading` (hiragana). A piece begins and ends with a character that is no kana, unless the
// reading contradicts the word's own kana, and then the piece covers what could not be matched.
struct RubyPiece {
  std::size_t offset = 0;
  std::size_t length = 0;
  std::string reading;
  bool operator==(const RubyPiece&) const = default;
};

// One character of a word: its code point and its number of bytes in the Shift_JIS text.
struct WordChar {
  char32_t value = 0;
  std::size_t length = 0;
  bool operator==(const WordChar&) const = default;
};

// The characters of the bytes [offset, offset + length) of a Shift_JIS text.
std::vector<WordChar> wordChars(const sjis::SjisText& text, std::size_t offset, std::size_t length);

// The characters of a word given in UTF-8, as the check sees them once converted.
std::vector<WordChar> wordCharsOfUtf8(std::string_view utf8);

// The pieces of a word whose first byte is at `offset`, in order, never overlapping, with the
// word's other characters between and around them (katakana as hiragana) spelling `reading`
// exactly. Empty when `reading` is.
std::vector<RubyPiece> alignRuby(std::span<const WordChar> word, std::string_view reading,
                                 std::size_t offset = 0);

// The word's characters outside the pieces, katakana as hiragana, with the pieces' readings in
// their places: what `reading` should be. For tests and for checking a typed reading.
std::string spellPieces(std::span<const WordChar> word, std::span<const RubyPiece> pieces,
                        std::size_t offset = 0);

// Whether a reading is one the pieces can carry: hiragana (ぁ to ゖ), ゝ, ゞ and ー only, and not
// empty.
bool isHiraganaReading(std::string_view utf8);

}  // namespace torvane::reading
