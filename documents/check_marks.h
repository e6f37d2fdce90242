// The marks of a check: its proposals and colours moved from the Shift_JIS text the check ran on
// into byte offsets of the UTF-8 text it was converted from (a document's text).
#pragma once

#include <span>

#include "documents/marks.h"
#include "reading/proposals.h"
#include "rewriting/rewrite.h"

namespace torvane::documents {

enum class ColourScope {
  Outside,  // red and grey on every character that is not rewritten, as a new document has them
  Words,    // only on the characters of the rewritten words that keep their form
  None,
};

// modes[i] for proposals[i]; a word kept, or with no reading, gives no WordRewrite. A word with
// ruby gets the kana it shares with its reading at either end trimmed off its one piece.
// `checked` needs its source map.
Marks marksFor(const reading::CheckedText& checked, std::span<const reading::Proposal> proposals,
               std::span<const reading::Mode> modes, ColourScope scope);

}  // namespace torvane::documents
