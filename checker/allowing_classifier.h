// How the allowed words enter the check: a wrapper around the classifier that gives every
// character inside an allowed occurrence its learnt class (no problem, never coloured, still
// collected in the list of its stage). The pass hands it each character's offset; characters
// outside the occurrences are judged by the classifier as they always are.
#pragma once

#include <concepts>
#include <cstddef>
#include <span>

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

// One wrapper serves one pass: it keeps its place in the occurrences.
template <class Base>
class AllowingClassifier {
 public:
  AllowingClassifier(const Base& base, std::span<const AllowedOccurrence> occurrences)
      : base_(base), cursor_(occurrences) {}

  Verdict classifyAt(std::size_t offset, const sjis::SjisChar& c, int level) const {
    const CharClass cls = base_.classOf(c);
    return verdictAt(cursor_.within(offset) ? learnt(cls) : cls, level);
  }
  const Base& base() const { return base_; }
  // The occurrences of the text the pass is about to walk, for a view that finds them only once
  // it has read its text.
  void restart(std::span<const AllowedOccurrence> occurrences) {
    cursor_ = AllowedCursor(occurrences);
  }

 private:
  const Base& base_;
  mutable AllowedCursor cursor_;
};

// A classifier that wants each character's offset as well.
template <class AnyClassifier>
concept ClassifiesAt = requires(const AnyClassifier& classifier, const sjis::SjisChar& c) {
  { classifier.classifyAt(std::size_t{0}, c, 0) } -> std::same_as<Verdict>;
};

}  // namespace torvane::checker
