// Reading proposals: the words of a checked text that hold a red kanji, each with its
// reading in hiragana, found by the morphological analyser.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "checker/classify.h"
#include "checker/recording_view.h"
#include "reading/analyzer.h"
#include "reading/ruby_pieces.h"
#include "sjis/codec.h"

namespace torvane::reading {

// One word to read: whole characters of the checked Shift_JIS text, never split between kanji
// and kana, holding at least one red kanji.
struct Proposal {
  std::size_t offset = 0;  // bytes of the checked Shift_JIS text
  std::size_t length = 0;
  std::string word;     // UTF-8: the characters of those bytes, as the source text has them
  std::string reading;  // hiragana; empty when the dictionary knows none
  // Readings to offer the teacher, `reading` first when known: for a word the dictionary holds
  // under several readings (明日: あした, あす). Empty when it knows none.
  std::vector<std::string> choices;
  // Every character of the word the check made red, in order, kanji or not.
  std::vector<sjis::SjisChar> problems;
  std::optional<checker::Stage> hardest = std::nullopt;  // the latest stage among `problems`
  // Where `reading` goes, in bytes of the checked text; empty when `reading` is.
  std::vector<RubyPiece> ruby;
  bool operator==(const Proposal&) const = default;
};

// The text a check ran on. `utf8` is what was converted and `converted` its Shift_JIS form with
// the source map (sourceOf in bytes of `utf8`); `spans` are the pass's colour changes in the
// order it made them (the recording view's SpanList; the first, the reset to black, included or
// not).
struct CheckedText {
  std::string_view utf8;
  const sjis::EncodedText& converted;
  std::span<const checker::Span> spans;
};

// Throws std::invalid_argument when `converted` has no source map (one entry per byte plus one).
void requireSourceMap(const CheckedText& text);

// A kanji: in the grade or junior-high tables, or outside every table as an ideograph.
bool isKanji(const sjis::SjisChar& c, const checker::Classifier& classifier);

// Whether one of the characters the check made red in the word is a kanji.
bool holdsRedKanji(const Proposal& p, const checker::Classifier& classifier);

// Which words are proposed: those that hold a red kanji (the readings a teacher is offered), or
// every word that holds a kanji (to judge the readings of the kanji the check let pass).
enum class ProposalScope { RedKanjiWords, EveryKanjiWord };

// The proposals in text order, never overlapping. `classifier` gives each its hardest stage.
std::vector<Proposal> propose(const Analyzer& analyzer, const CheckedText& text,
                              const checker::Classifier& classifier,
                              ProposalScope scope = ProposalScope::RedKanjiWords);

// Gives a proposal another reading (an edited one), and its pieces aligned again on `text`, the
// checked Shift_JIS text.
void setReading(Proposal& p, const sjis::SjisText& text, std::string reading);

// For a Shift_JIS text with no Unicode source (the command line's cp932 input): its characters
// decoded one by one into UTF-8, with the source map pointing into that UTF-8.
struct DecodedText {
  std::string utf8;
  sjis::EncodedText converted;
};
DecodedText decodeWithSourceMap(sjis::SjisText text);

}  // namespace torvane::reading
