// The proposals as the teacher edits them: one row per distinct word and reading, and the way
// back from the rows to a reading and a mode for every proposal.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "checker/stage.h"
#include "reading/proposals.h"
#include "reading/reading_notes.h"
#include "rewriting/rewrite.h"
#include "sjis/sjis_text.h"

namespace torvane::reading {

// What judging a row's reading again takes (「読み方も判定する」): the word as checked, the
// offsets in it of the kanji whose reading is judged (not red, not exempt by a class setting),
// and the level of the check.
struct RowJudging {
  sjis::SjisText checked;
  std::vector<std::size_t> judged;  // ascending
  int level = 0;
  bool operator==(const RowJudging&) const = default;
};

struct ProposalRow {
  std::string word;
  std::string reading;               // the one every occurrence is written with
  std::vector<std::string> choices;  // readings to offer, from all occurrences, no repeats
  std::optional<checker::Stage> hardest = std::nullopt;
  std::vector<std::size_t> occurrences;  // indexes into the proposals, in text order
  Mode mode = Mode::Ruby;
  std::vector<WordChar> chars;    // the word's characters in the checked text
  std::vector<RubyPiece> pieces;  // where `reading` goes, in bytes from the word's start
  std::optional<RowJudging> judging = std::nullopt;  // only with the readings judged
  // What `reading` gives the judged kanji, in bytes from the word's start.
  std::vector<ReadingNote> notes = {};
  bool operator==(const ProposalRow&) const = default;
};

// Gives a row a reading, typed or chosen, and aligns it again into pieces (one piece over the
// word when it cannot be aligned); a judged row's notes follow the new reading.
void setReading(ProposalRow& row, std::string reading);

// Judges the row's reading, by its pieces, where the row has what judging takes.
void judgeReading(ProposalRow& row);

// The word with each piece's reading after it in brackets: 引（ひ）っ越（こ）し.
std::string withPieceReadings(const ProposalRow& row);

// Rows in the order of their first occurrence.
std::vector<ProposalRow> groupProposals(std::span<const Proposal> proposals);

// Gives every proposal its row's reading and pieces, and returns the modes for rewrite(), one per
// proposal. A proposal no row names keeps its reading and mode Keep.
std::vector<Mode> applyRows(std::span<const ProposalRow> rows, std::span<Proposal> proposals);

// The report's words for a stage ("小学四年で習う漢字", "中学までに習わない(漢)字"); empty for
// None.
std::string_view stageWords(std::optional<checker::Stage> stage);

}  // namespace torvane::reading
