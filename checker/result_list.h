// The result lists a check fills: characters in the order the text shows them.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "checker/key_set.h"
#include "checker/stage.h"
#include "sjis/byte_type.h"
#include "sjis/sjis_text.h"

namespace torvane::checker {

// What makes two characters one kind: the Unicode form under simple case folding (so A and a,
// or Ａ and ａ, are one kind while A and Ａ are two), or the bytes for a character without one.
// The keys of all code page characters are worked out once, so a key costs a lookup.
class UniquenessKeys {
 public:
  static const UniquenessKeys& get();

  std::uint32_t operator()(const sjis::SjisChar& c) const {
    if (c.foreign() != 0) return foreignKey(c.foreign());
    const std::uint16_t code = c.code();
    if (c.length() != 2) return singles_[code & 0xFF];
    const std::size_t row = sjis::kLeadRows[code >> 8];
    return row == sjis::kLeadRowCount ? byteKey(c) : pairs_[row << 8 | (code & 0xFF)];
  }

 private:
  UniquenessKeys();
  static std::uint32_t foreignKey(char32_t character);
  static std::uint32_t byteKey(const sjis::SjisChar& c);

  std::vector<std::uint32_t> pairs_;  // a row for each lead byte
  std::array<std::uint32_t, 0x100> singles_;
};

inline std::uint32_t uniquenessKey(const sjis::SjisChar& c) {
  return UniquenessKeys::get()(c);
}

// A list that holds each kind of character once, first appearance first.
class ResultList {
 public:
  // A hash set of keys beside the entries keeps the uniqueness test O(1) per character.
  bool contains(const sjis::SjisChar& c) const { return keys_.contains(uniquenessKey(c)); }
  // Appends unless a character of the same kind is already there.
  void appendIfAbsent(const sjis::SjisChar& c) { appendIfAbsent(c, uniquenessKey(c)); }
  void appendIfAbsent(const sjis::SjisChar& c, std::uint32_t key) {
    if (keys_.insert(key)) entries_.push_back(c);
  }
  void clear() {
    entries_.clear();
    keys_.clear();
  }

  const std::vector<sjis::SjisChar>& entries() const { return entries_; }
  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }

 private:
  std::vector<sjis::SjisChar> entries_;
  KeySet keys_;
};

// A list of every occurrence, duplicates included.
class OccurrenceList {
 public:
  void append(const sjis::SjisChar& c) { entries_.push_back(c); }
  void clear() { entries_.clear(); }

  const std::vector<sjis::SjisChar>& entries() const { return entries_; }
  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }

 private:
  std::vector<sjis::SjisChar> entries_;
};

struct ResultLists {
  ResultList FoundGrade1, FoundGrade2, FoundGrade3, FoundGrade4, FoundGrade5, FoundGrade6;
  ResultList FoundJuniorHigh;
  ResultList FoundBeyond;             // two-byte characters that stand in no class string
  OccurrenceList ProblemOccurrences;  // every red occurrence
  ResultList ProblemKinds;            // each red kind once

  // The list that collects the characters of a stage.
  ResultList& found(Stage stage);
  const ResultList& found(Stage stage) const;

  // Clears the found lists, then the problem lists.
  void clear();
};

}  // namespace torvane::checker
