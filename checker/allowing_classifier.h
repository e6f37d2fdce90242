// How the allowed words enter the check: a wrapper around the classifier that gives every
// character inside an allowed occurrence its learnt class (no problem, never coloured, still
// collected in the list of its stage). The pass hands it the text and each character's offset;
// characters outside the occurrences are judged by the classifier as they always are.
#pragma once

#include <concepts>
#include <cstddef>
#include <span>
#include <vector>

#include "checker/allowed_words.h"
#include "checker/classify.h"

namespace torvane::checker {

// Walks the occurrences along with a pass: offsets must come in ascending order, which is the
// order a pass visits its characters, so each test costs O(1) over the whole text.
class AllowedCursor {
 public:
  AllowedCursor() = default;
  explicit AllowedCursor(std::span<const AllowedOccurrence> occurrences)
      : next_(occurrences.data()), end_(occurrences.data() + occurrences.size()) {}

  bool within(std::size_t offset) {
    while (next_ != end_ && next_->offset + next_->length <= offset) ++next_;
    return next_ != end_ && next_->offset <= offset;
  }

 private:
  const AllowedOccurrence* next_ = nullptr;
  const AllowedOccurrence* end_ = nullptr;
};

// One wrapper serves one pass: it finds the words as the pass asks about each character, and
// keeps what it found. Where a word may start costs one lookup, so a text with no allowed word
// in it is checked almost as fast as without settings.
template <class Base>
class AllowingClassifier {
 public:
  AllowingClassifier(const Base& base, const AllowedWords& words) : base_(base), finder_(words) {}

  Verdict classifyAt(const sjis::SjisText& text, std::size_t offset, const sjis::SjisChar& c,
                     int level) const {
    const CharClass cls = base_.classOf(c);
    return verdictAt(finder_.covers(text, offset, c) ? learnt(cls) : cls, level);
  }
  const Base& base() const { return base_; }
  // The occurrences the pass has met so far, in text order: all of them once it has ended.
  const std::vector<AllowedOccurrence>& occurrences() const { return finder_.found(); }

 private:
  const Base& base_;
  mutable AllowedWords::Finder finder_;  // the pass visits characters in text order
};

// A classifier that wants the text and each character's offset as well.
template <class AnyClassifier>
concept ClassifiesAt = requires(const AnyClassifier& classifier, const sjis::SjisText& text,
                                const sjis::SjisChar& c) {
  { classifier.classifyAt(text, std::size_t{0}, c, 0) } -> std::same_as<Verdict>;
};

}  // namespace torvane::checker
