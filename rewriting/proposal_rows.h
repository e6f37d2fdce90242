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
  bool operator==(const ProposalRow&) const = default;
};

// Rows in the order of their first occurrence.
std::vector<ProposalRow> groupProposals(std::span<const Proposal> proposals);

// Gives every proposal its row's reading, and returns the modes for rewrite(), one per proposal.
// A proposal no row names keeps its reading and mode Keep.
std::vector<Mode> applyRows(std::span<const ProposalRow> rows, std::span<Proposal> proposals);

// The report's words for a stage ("小学四年で習う漢字", "中学までに習わない(漢)字"); empty for
// None.
std::string_view stageWords(std::optional<checker::Stage> stage);

}  // namespace torvane::reading
