// Where the analyser cuts a text into the chunks it parses one at a time. MeCab's lattice for a
// chunk takes some hundred bytes a byte, so a chunk must stay short whatever the text: a line
// of a whole book split only by 、 once took 780 MB over 4 MB of text.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace torvane::reading {

struct TextChunk {
  std::size_t offset = 0;  // bytes of the UTF-8 text
  std::size_t length = 0;
  bool operator==(const TextChunk&) const = default;
};

// A line shorter than this is one chunk; a longer one is cut at the first boundary that its
// length allows, each kind of boundary a step further on, so that the safest one is taken
// where there is one:
inline constexpr std::size_t kLongChunk = 8192;
// from kLongChunk bytes on, after the end of a sentence (。．！？｡);
// from 2 kLongChunk, after a clause mark, a space, a closing bracket or other punctuation
// (、，：；・… 」』）】 ...), unless a digit follows, which may belong to the same number;
// from 3 kLongChunk, before a kanji that follows hiragana (a particle, most likely, and the
// start of a word), never after お or ご, which go with the word they precede;
// from 4 kLongChunk, before any character: a run without any of these is no Japanese prose.
inline constexpr std::size_t kMaxChunk = 4 * kLongChunk;

// The chunks of valid UTF-8 text, in order. Line breaks end a chunk and belong to none; no
// chunk is empty and none splits a character; none is longer than kMaxChunk plus a character.
std::vector<TextChunk> analysisChunks(std::string_view utf8);

}  // namespace torvane::reading
