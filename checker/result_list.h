// The result lists a check fills: characters in the order the text shows them.
#pragma once

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "checker/classify.h"
#include "sjis/sjis_text.h"

namespace torvane::checker {

// What makes two characters one kind: the Unicode form under simple case folding (so A and a,
// or Ａ and ａ, are one kind while A and Ａ are two), or the bytes for a character without one.
std::uint32_t uniquenessKey(const sjis::SjisChar& c);

class ResultList {
 public:
  // A hash set of keys beside the entries keeps the uniqueness test O(1) per character.
  bool contains(const sjis::SjisChar& c) const { return keys_.contains(uniquenessKey(c)); }
  void append(const sjis::SjisChar& c) {
    entries_.push_back(c);
    keys_.insert(uniquenessKey(c));
  }
  // Appends unless a character of the same kind is already there.
  void appendIfAbsent(const sjis::SjisChar& c) {
    if (keys_.insert(uniquenessKey(c)).second) entries_.push_back(c);
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
  std::unordered_set<std::uint32_t> keys_;
};

struct ResultLists {
  ResultList FoundGrade1, FoundGrade2, FoundGrade3, FoundGrade4, FoundGrade5, FoundGrade6;
  ResultList FoundJuniorHigh;
  ResultList FoundBeyond;         // two-byte characters that stand in no class string
  ResultList ProblemOccurrences;  // every red occurrence
  ResultList ProblemKinds;        // each red kind once

  // The list a verdict names; `list` must not be FoundList::None.
  ResultList& found(FoundList list);
  const ResultList& found(FoundList list) const;

  // Clears the found lists, then the problem lists.
  void clear();
};

}  // namespace torvane::checker
