// A text as a text box holds it (UTF-16), checked again for its reading proposals: the UTF-8
// form the reading layer reads, the Shift_JIS form the check ran on with the way back into
// both, and the check's colours; the edits that write proposals back into the box; and the
// whole of what the proposals of a box need, in one call a worker can make.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "checker/allowed_words.h"
#include "checker/classify.h"
#include "checker/recording_view.h"
#include "reading/analyzer.h"
#include "reading/proposals.h"
#include "rewriting/proposal_rows.h"
#include "rewriting/rewrite.h"
#include "sjis/codec.h"

namespace torvane::reading {

class CheckedSource {
 public:
  // `spans` are the colour changes of a check of the text's Shift_JIS form (the box's
  // conversion, line breaks as CR LF).
  CheckedSource(std::u16string_view utf16, std::vector<checker::Span> spans);

  // Checks the text at `level` with no window, for its colours; the occurrences of the class's
  // allowed words (may be null) are black, as in the window's check.
  static CheckedSource check(std::u16string_view utf16, int level,
                             const checker::Classifier& classifier,
                             const checker::AllowedWords* allowed = nullptr);

  // Valid while this object lives where it is.
  CheckedText view() const { return {utf8_, converted_, spans_}; }

  // The UTF-16 positions of the Shift_JIS bytes [offset, offset + length), clamped to the text.
  std::pair<std::size_t, std::size_t> utf16Range(std::size_t offset, std::size_t length) const;

 private:
  CheckedSource(std::u16string_view utf16, sjis::EncodedText byUnits,
                std::vector<checker::Span> spans);

  std::string utf8_;  // a lone surrogate as U+FFFD, as the conversion to Shift_JIS takes it
  sjis::EncodedText converted_;         // source map in bytes of utf8_
  std::vector<std::uint32_t> utf16Of_;  // per byte plus one: UTF-16 positions
  std::vector<checker::Span> spans_;
};

// One change of the box's text: the UTF-16 range [from, to) replaced by `text` (UTF-8); an
// insertion when from == to.
struct TextEdit {
  std::size_t from = 0;
  std::size_t to = 0;
  std::string text;
  bool operator==(const TextEdit&) const = default;
};

// The edits for the proposals in their modes (modes[i] for proposals[i]), in text order, never
// overlapping, piece by piece: kana in place of a piece; for ruby, the marks of the
// ｜base《reading》 notation around the piece, whose characters stay.
std::vector<TextEdit> textEdits(const CheckedSource& source, std::span<const Proposal> proposals,
                                std::span<const Mode> modes);

// The number of UTF-16 units of a UTF-8 text.
std::size_t utf16Length(std::string_view utf8);

// The class settings the proposals follow. The known kanji are the classifier's too; they and
// the allowed words (may be null) are black and give no reading note. With `judgeReadings`
// (「読み方も判定する」) the words whose reading gives a note are proposed as well, and every row
// carries its notes and what judging it again takes.
struct ClassReadings {
  std::span<const char32_t> known;  // ascending
  const checker::AllowedWords* allowed = nullptr;
  bool judgeReadings = false;
};

// What the reading proposals of a box's text need: the text checked again at the level of the
// last check, its proposals, and their rows.
struct ProposedReadings {
  CheckedSource source;
  std::vector<Proposal> proposals;
  std::vector<ProposalRow> rows;
};
ProposedReadings proposeReadings(const Analyzer& analyzer, std::u16string_view utf16, int level,
                                 const checker::Classifier& classifier,
                                 const ClassReadings& settings = {});

}  // namespace torvane::reading
