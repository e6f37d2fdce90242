// Where the analyser cuts a text into the pieces it parses one at a time. MeCab's lattice for a
// piece takes some hundred bytes a byte, so a piece must stay short whatever the text: a line
// of a whole book split only by 、 once took 780 MB over 4 MB of text.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace torvane::reading {

struct Piece {
  std::size_t offset = 0;  // bytes of the UTF-8 text
  std::size_t length = 0;
  bool operator==(const Piece&) const = default;
};

// A line shorter than this is one piece; a longer one is cut at the first boundary that its
// length allows, each kind of boundary a step further on, so that the safest one is taken
// where there is one:
inline constexpr std::size_t kLongPiece = 8192;
// from kLongPiece bytes on, after the end of a sentence (。．！？｡);
// from 2 kLongPiece, after a clause mark, a space, a closing bracket or other punctuation
// (、，：；・… 」』）】 ...), unless a digit follows, which may belong to the same number;
// from 3 kLongPiece, before a kanji that follows hiragana (a particle, most likely, and the
// start of a word), never after お or ご, which go with the word they precede;
// from 4 kLongPiece, before any character: a run without any of these is no Japanese prose.
inline constexpr std::size_t kMaxPiece = 4 * kLongPiece;

// The pieces of valid UTF-8 text, in order. Line breaks end a piece and belong to none; no
// piece is empty and none splits a character; none is longer than kMaxPiece plus a character.
std::vector<Piece> analysisPieces(std::string_view utf8);

}  // namespace torvane::reading
