// What a writer puts into a document: colours and rewritten words, in byte offsets of the
// opened document's UTF-8 text (OpenedDocument::text).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace torvane::documents {

enum class MarkColour { Red, Grey };

struct ColourRange {
  std::size_t begin = 0;
  std::size_t end = 0;
  MarkColour colour = MarkColour::Red;
  bool operator==(const ColourRange&) const = default;
};

// Where a reading goes: the characters [begin, end) get `reading` (hiragana).
struct RubyPiece {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::string reading;
  bool operator==(const RubyPiece&) const = default;
};

enum class WordStyle {
  Kana,  // each piece's characters replaced by its reading
  Ruby,  // each piece keeps its characters, with the reading above
};

// One proposed word [begin, end), its pieces inside it, in order, never overlapping.
struct WordRewrite {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::vector<RubyPiece> pieces;
  WordStyle style = WordStyle::Ruby;
  bool operator==(const WordRewrite&) const = default;
};

// Colours and words each in text order, never overlapping among themselves; a colour may lie
// inside a word (a red base under its ruby).
struct Marks {
  std::vector<ColourRange> colours;
  std::vector<WordRewrite> words;
};

}  // namespace torvane::documents
