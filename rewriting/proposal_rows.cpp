#include "rewriting/proposal_rows.h"

#include <algorithm>
#include <unordered_map>

#include "checker/stage.h"
#include "sjis/codec.h"

namespace torvane::reading {

std::vector<ProposalRow> groupProposals(std::span<const Proposal> proposals) {
  std::vector<ProposalRow> rows;
  // Word and reading joined by a byte that UTF-8 text never holds.
  std::unordered_map<std::string, std::size_t> rowOf;
  std::string key;
  for (std::size_t i = 0; i < proposals.size(); ++i) {
    const Proposal& p = proposals[i];
    key.assign(p.word).append(1, '\xFF').append(p.reading);
    const auto [it, added] = rowOf.try_emplace(key, rows.size());
    if (added) {
      rows.push_back(ProposalRow{
          p.word, p.reading, {}, p.hardest, {}, Mode::Ruby, wordCharsOfUtf8(p.word), {}});
      for (RubyPiece piece : p.ruby) {
        piece.offset -= p.offset;
        rows.back().pieces.push_back(std::move(piece));
      }
      ProposalRow& fresh = rows.back();
      if (spellPieces(fresh.chars, fresh.pieces) != fresh.reading) setReading(fresh, fresh.reading);
    }
    ProposalRow& row = rows[it->second];
    row.occurrences.push_back(i);
    row.hardest = std::max(row.hardest, p.hardest);
    // Occurrences of one word mostly offer the same few readings: a short linear search.
    for (const std::string& choice : p.choices) {
      if (std::find(row.choices.begin(), row.choices.end(), choice) == row.choices.end())
        row.choices.push_back(choice);
    }
  }
  return rows;
}

std::vector<Mode> applyRows(std::span<const ProposalRow> rows, std::span<Proposal> proposals) {
  std::vector<Mode> modes(proposals.size(), Mode::Keep);
  for (const ProposalRow& row : rows) {
    // A reading set on the row directly has its pieces aligned here.
    const std::vector<RubyPiece> pieces = spellPieces(row.chars, row.pieces) == row.reading
                                              ? row.pieces
                                              : alignRuby(row.chars, row.reading);
    for (const std::size_t i : row.occurrences) {
      if (i >= proposals.size()) continue;
      Proposal& p = proposals[i];
      p.reading = row.reading;
      p.ruby = pieces;
      for (RubyPiece& piece : p.ruby) piece.offset += p.offset;
      modes[i] = row.mode;
    }
  }
  return modes;
}

void setReading(ProposalRow& row, std::string reading) {
  row.reading = std::move(reading);
  row.pieces = alignRuby(row.chars, row.reading);
  judgeReading(row);
}

void judgeReading(ProposalRow& row) {
  if (!row.judging) return;
  const RowJudging& judging = *row.judging;
  row.notes =
      judgeWord(judging.checked, 0, judging.checked.size(), row.pieces, judging.level,
                [&judging](std::size_t offset) {
                  return std::binary_search(judging.judged.begin(), judging.judged.end(), offset);
                });
}

std::string withPieceReadings(const ProposalRow& row) {
  std::string out;
  std::size_t at = 0, next = 0;
  for (const WordChar& c : row.chars) {
    sjis::appendUtf8(out, c.value);
    at += c.length;
    if (next < row.pieces.size() && at == row.pieces[next].offset + row.pieces[next].length) {
      out.append("（").append(row.pieces[next].reading).append("）");
      ++next;
    }
  }
  return out;
}

std::string_view stageWords(std::optional<checker::Stage> stage) {
  return stage ? checker::stageWords(*stage) : std::string_view();
}

}  // namespace torvane::reading
