// Where a class's allowed words stand in a text: left to right, the longest word first at each
// place, never overlapping. A trie gives the longest word at a place; a filter on the first four
// bytes turns away almost every place where no word starts, in one lookup whatever the number of
// words, so that the check pass can ask at each character as it goes. The same trie with failure
// links (Aho–Corasick, with the leftmost-longest rule) reads a text pushed a character at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "sjis/sjis_text.h"

namespace torvane::checker {

// One occurrence: bytes [offset, offset + length) of the checked text hold words[word].
struct AllowedOccurrence {
  std::size_t offset = 0;
  std::size_t length = 0;
  std::uint32_t word = 0;
  bool operator==(const AllowedOccurrence&) const = default;
};

class AllowedWords {
 public:
  AllowedWords() = default;
  // UTF-8 words, converted as the text box's text is; a word with no bytes (only characters that
  // join their neighbour) can stand nowhere and is left out. The index of an occurrence is the
  // word's place in `words`.
  explicit AllowedWords(std::span<const std::string> words);

  bool empty() const { return states_.size() == 1; }

  // Finds the occurrences at the characters it is shown in text order, each right after the
  // last (spaces may be passed over): where no word starts, one lookup. The check pass shows it
  // each character it judges.
  class Finder {
   public:
    explicit Finder(const AllowedWords& words) : words_(words) {}
    // Whether the character `c` at `offset` lies in an occurrence, found there or before.
    bool covers(const sjis::SjisText& text, std::size_t offset, const sjis::SjisChar& c) {
      if (offset >= coveredTo_ && words_.mayStartAt(text.bytes, offset, c)) [[unlikely]]
        findAt(text, offset);
      return offset < coveredTo_;
    }
    // The occurrences so far, in text order: all of them once the last character was shown.
    const std::vector<AllowedOccurrence>& found() const { return found_; }
    std::vector<AllowedOccurrence> take() && { return std::move(found_); }

   private:
    void findAt(const sjis::SjisText& text, std::size_t offset) {
      const AllowedOccurrence o = words_.longestAt(text, offset);
      if (o.length == 0) return;
      found_.push_back(o);
      coveredTo_ = o.offset + o.length;
    }

    const AllowedWords& words_;
    std::size_t coveredTo_ = 0;  // the end of the last occurrence
    std::vector<AllowedOccurrence> found_;
  };

  // Takes the characters of a text in order and gives the occurrences: the walk of the check
  // feeds it, whatever form the text has.
  class Scanner {
   public:
    explicit Scanner(const AllowedWords& words) : words_(words) {}
    // The character at `offset`; characters come in text order, each right after the last.
    void push(std::size_t offset, const sjis::SjisChar& c) {
      // Most characters start no word and leave the walk at the root: one lookup.
      if (state_ == kRoot && c.foreign() == 0 && words_.rootBySlot_[slotOf(c)] == kRoot) return;
      const std::uint32_t symbol = words_.symbolOf(c);
      if (hasMatch_) [[unlikely]] {
        step({offset, c.length(), symbol});
        return;
      }
      // No word found yet in this attempt, so no state on the way fails to nowhere.
      const std::uint32_t state = words_.next(state_, symbol);
      state_ = state;
      if (words_.states_[state].word != kNoWord) [[unlikely]]
        record(offset + c.length(), state);
    }
    // The occurrences in text order.
    std::vector<AllowedOccurrence> finish() &&;

   private:
    struct Pushed {
      std::size_t offset;
      std::uint8_t length;
      std::uint32_t symbol;
    };
    void step(const Pushed& c);
    void record(std::size_t end, std::uint32_t state);
    void emitAndReplay();

    const AllowedWords& words_;
    std::uint32_t state_ = 0;
    bool hasMatch_ = false;
    AllowedOccurrence match_;    // the best occurrence so far of the current attempt
    std::vector<Pushed> after_;  // the characters read past its end, to be read again
    std::vector<AllowedOccurrence> found_;
  };

  // The occurrences in a Shift_JIS text, divided into characters by the byte-type rule, as the
  // check pass finds them (see AllowingClassifier).
  std::vector<AllowedOccurrence> find(const sjis::SjisText& text) const;

 private:
  // Whether a word may start at the character `c` at `offset` of `bytes`: false only where none
  // does. A lookup of `c` first (does any word start with it, a short one among them?), then one
  // hash of the four bytes there.
  bool mayStartAt(std::string_view bytes, std::size_t offset, const sjis::SjisChar& c) const {
    // Most characters start no word at all (kana, in most texts): one lookup.
    if (c.foreign() == 0) {
      const std::uint8_t starts = startsByCode_[c.code()];
      if (starts == 0) return false;
      if ((starts & kShortStart) != 0) [[unlikely]]
        return true;
    } else if (hasForeignShortStarts_) {
      return true;
    }
    if (bytes.size() - offset < 4) return false;
    std::uint32_t head;
    std::memcpy(&head, bytes.data() + offset, 4);
    const auto [word, mask] = headBitsOf(head);
    return (headBits_[word] & mask) == mask;
  }
  // The longest word that starts at the character at `offset`, if any; its length is 0 if none.
  AllowedOccurrence longestAt(const sjis::SjisText& text, std::size_t offset) const;

  static constexpr std::uint32_t kRoot = 0;
  static constexpr std::uint32_t kDead = 0xFFFFFFFF;  // the attempt can find nothing better
  static constexpr std::uint32_t kNoWord = 0xFFFFFFFF;

  struct State {
    std::uint32_t fail = kRoot;
    std::uint32_t word = kNoWord;  // the longest word that ends here, its own or a suffix's
    std::uint32_t own = kNoWord;   // the word spelt by the path from the root to here
    // Bit (symbol % 64) set for each of its edges: most characters that have no edge here are
    // turned away without reading the edges.
    std::uint64_t edgeBits = 0;
  };
  struct Edge {
    std::uint32_t symbol;
    std::uint32_t next;
  };

  // A head's two bits in one word of the filter (a Bloom filter blocked by words): one load. The
  // first two bytes choose a block of eight words, so that a common first character keeps its
  // block in the nearest cache, as a text's common characters keep their table entries.
  std::pair<std::size_t, std::uint64_t> headBitsOf(std::uint32_t head) const {
    const std::uint64_t first = (head & 0xFFFF) * 0x9E3779B97F4A7C15u;
    const std::uint64_t hash = head * 0xC2B2AE3D27D4EB4Fu;
    return {static_cast<std::size_t>(first >> headShift_) << 3 | (hash >> 61),
            std::uint64_t{1} << (hash >> 32 & 63) | std::uint64_t{1} << (hash >> 38 & 63)};
  }
  // A code page character's place in a table with a row of 256 for each lead byte and one for
  // the single bytes.
  static std::size_t slotOf(const sjis::SjisChar& c) {
    const std::uint16_t code = c.code();
    const std::size_t row = c.length() == 2 ? sjis::kLeadRows[code >> 8] : sjis::kLeadRowCount;
    return row << 8 | (code & 0xFF);
  }
  // Symbol 0 stands for every character that no word holds.
  std::uint32_t symbolOf(const sjis::SjisChar& c) const {
    if (c.foreign() != 0) [[unlikely]] {
      const auto it = foreignSymbols_.find(c.foreign());
      return it == foreignSymbols_.end() ? 0 : it->second;
    }
    return symbols_[slotOf(c)];
  }
  std::uint32_t child(std::uint32_t state, std::uint32_t symbol) const {
    if ((states_[state].edgeBits >> (symbol & 63) & 1) == 0) return kRoot;
    return edgeTo(state, symbol);
  }
  std::uint32_t edgeTo(std::uint32_t state, std::uint32_t symbol) const;
  std::uint32_t next(std::uint32_t state, std::uint32_t symbol) const {
    for (;;) {
      if (state == kRoot) return rootNext_[symbol];
      if (const std::uint32_t to = child(state, symbol); to != kRoot) return to;
      state = states_[state].fail;
      if (state == kDead) return kDead;
    }
  }

  // By code page character: a row of 256 for each lead byte, and one for the single bytes.
  std::vector<std::uint32_t> symbols_ = std::vector<std::uint32_t>((sjis::kLeadRowCount + 1) << 8);
  std::unordered_map<char32_t, std::uint32_t> foreignSymbols_;
  std::vector<std::uint32_t> rootBySlot_;          // the root's edge for each code page character
  std::vector<std::uint32_t> rootNext_ = {kRoot};  // by symbol: the root's edges, all of them
  std::vector<State> states_ = {State{}};          // the root first
  std::vector<std::uint32_t> firstEdge_ = {0, 0};  // by state, and one past the last
  std::vector<Edge> edges_;                        // by state, sorted by symbol
  std::vector<std::uint32_t> wordBytes_;           // by word
  // The filter of mayStartAt: by code page character (its code: a single byte's is below any
  // pair's), whether some word starts with it (any bit) and whether one of fewer than four bytes
  // does (kShortStart); and two bits for the first four bytes of each longer word.
  static constexpr std::uint8_t kLongStart = 1, kShortStart = 2;
  std::vector<std::uint8_t> startsByCode_ = std::vector<std::uint8_t>(0x10000);
  bool hasForeignShortStarts_ = false;  // a short word starts with a character outside the code page
  std::vector<std::uint64_t> headBits_ = std::vector<std::uint64_t>(16);
  unsigned headShift_ = 63;
};

}  // namespace torvane::checker
