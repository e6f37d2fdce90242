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
#include "rewriting/rewrite.h"

namespace torvane::reading {

struct ProposalRow {
  std::string word;
  std::string reading;               // the one every occurrence is written with
  std::vector<std::string> choices;  // readings to offer, from all occurrences, no repeats
  std::optional<checker::Stage> hardest = std::nullopt;
  std::vector<std::size_t> occurrences;  // indexes into the proposals, in text order
  Mode mode = Mode::Ruby;
  std::vector<WordChar> chars;    // the word's characters in the checked text
  std::vector<RubyPiece> pieces;  // where `reading` goes, in bytes from the word's start
  bool operator==(const ProposalRow&) const = default;
};

// Gives a row a reading, typed or chosen, and aligns it again into pieces (one piece over the
// word when it cannot be aligned).
void setReading(ProposalRow& row, std::string reading);

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
