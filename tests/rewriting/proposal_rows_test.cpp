// Proposals grouped into the rows the teacher edits, and the rows written back for the rewrite.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rewriting/proposal_rows.h"
#include "sjis/codec.h"

namespace torvane {
namespace {

using checker::Stage;
using reading::Mode;
using reading::Proposal;
using reading::ProposalRow;

// 漢字と漢字、明日は漢字: proposals built by hand at their Shift_JIS offsets, as propose() gives
// them, so no dictionary is needed.
struct Text {
  std::string utf8 = "漢字と漢字、明日は漢字";
  sjis::EncodedText converted;
  std::vector<Proposal> proposals;

  Text() {
    sjis::SjisEncoder encoder(sjis::LineBreaks::ToCrLf, true);
    encoder.appendUtf8(utf8);
    converted = std::move(encoder).finish(static_cast<std::uint32_t>(utf8.size()));
    proposals = {
        {0, 4, "漢字", "かんじ", {"かんじ"}, {}, Stage::Grade3, {}},
        {6, 4, "漢字", "かんじ", {"かんじ", "からじ"}, {}, Stage::Grade3, {}},
        {12, 4, "明日", "あした", {"あした", "あす"}, {}, Stage::Grade2, {}},
        {18, 4, "漢字", "", {}, {}, Stage::Grade3, {}},  // a second row: no reading here
    };
  }
  reading::CheckedText view() const { return {utf8, converted, {}}; }
};

TEST(ProposalRows, OneRowPerWordAndReadingInOrderOfFirstOccurrence) {
  const Text text;
  std::vector<ProposalRow> rows = reading::groupProposals(text.proposals);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(reading::withPieceReadings(rows[0]), "漢字（かんじ）");
  EXPECT_EQ(reading::withPieceReadings(rows[2]), "漢字");  // no reading, no pieces
  for (ProposalRow& row : rows) row.chars.clear(), row.pieces.clear();
  const std::vector<ProposalRow> expected = {
      {"漢字", "かんじ", {"かんじ", "からじ"}, Stage::Grade3, {0, 1}, Mode::Ruby, {}, {}},
      {"明日", "あした", {"あした", "あす"}, Stage::Grade2, {2}, Mode::Ruby, {}, {}},
      {"漢字", "", {}, Stage::Grade3, {3}, Mode::Ruby, {}, {}},
  };
  EXPECT_EQ(rows, expected);
  EXPECT_TRUE(reading::groupProposals({}).empty());
}

TEST(ProposalRows, HardestStageIsTheLatestOfAllOccurrences) {
  // The same word can hold characters of different stages only through its source form (a
  // variation selector); the row takes the latest.
  const std::vector<Proposal> proposals = {
      {0, 4, "葛飾", "かつしか", {}, {}, Stage::JuniorHigh, {}},
      {4, 4, "葛飾", "かつしか", {}, {}, Stage::Beyond, {}},
  };
  EXPECT_EQ(reading::groupProposals(proposals).at(0).hardest, Stage::Beyond);
}

TEST(ProposalRows, EditedReadingAndModeReachEveryOccurrenceInTheRewrite) {
  Text text;
  std::vector<ProposalRow> rows = reading::groupProposals(text.proposals);
  rows[0].reading = "かんじい";  // the teacher's edit
  rows[1].mode = Mode::Kana;
  rows[2].reading = "かんじ";  // a reading typed for the word that had none
  rows[2].mode = Mode::Keep;

  const std::vector<Mode> modes = reading::applyRows(rows, text.proposals);
  EXPECT_EQ(modes, (std::vector{Mode::Ruby, Mode::Ruby, Mode::Kana, Mode::Keep}));
  EXPECT_EQ(text.proposals[1].reading, "かんじい");
  EXPECT_EQ(text.proposals[3].reading, "かんじ");
  EXPECT_EQ(reading::rewrite(text.view(), text.proposals, modes, reading::Format::Text),
            "｜漢字《かんじい》と｜漢字《かんじい》、あしたは漢字");

  rows[2].mode = Mode::Ruby;
  rows[0].mode = Mode::Keep;
  const std::vector<Mode> changed = reading::applyRows(rows, text.proposals);
  EXPECT_EQ(reading::rewrite(text.view(), text.proposals, changed, reading::Format::Text),
            "漢字と漢字、あしたは｜漢字《かんじ》");
}

TEST(ProposalRows, ATypedReadingIsAlignedAgainIntoPieces) {
  const std::vector<Proposal> proposals = {
      {0, 8, "引っ越し", "ひっこし", {}, {}, Stage::JuniorHigh, {}}};
  std::vector<ProposalRow> rows = reading::groupProposals(proposals);
  EXPECT_EQ(reading::withPieceReadings(rows[0]), "引（ひ）っ越（こ）し");
  const struct {
    const char* typed;
    const char* shown;
  } cases[] = {
      {"ひっこし", "引（ひ）っ越（こ）し"},
      {"ひっこす", "引（ひ）っ越し（こす）"},  // the last kana no longer matches
      {"いてん", "引っ越し（いてん）"},        // nothing matches: one piece
      {"", "引っ越し"},
  };
  for (const auto& c : cases) {
    reading::setReading(rows[0], c.typed);
    EXPECT_EQ(reading::withPieceReadings(rows[0]), c.shown) << c.typed;
  }
}

TEST(ProposalRows, ProposalsNoRowNamesStayAsTheyAre) {
  Text text;
  std::vector<ProposalRow> rows = reading::groupProposals(text.proposals);
  rows.erase(rows.begin());
  rows[0].occurrences.push_back(99);  // past the end: ignored
  const std::vector<Mode> modes = reading::applyRows(rows, text.proposals);
  EXPECT_EQ(modes, (std::vector{Mode::Keep, Mode::Keep, Mode::Ruby, Mode::Ruby}));
  EXPECT_EQ(text.proposals[0].reading, "かんじ");
}

TEST(ProposalRows, StagesInTheReportsWords) {
  const struct {
    std::optional<Stage> stage;
    std::string_view words;
  } cases[] = {
      {Stage::Grade1, "小学一年で習う漢字"},       {Stage::Grade4, "小学四年で習う漢字"},
      {Stage::Grade6, "小学六年で習う漢字"},       {Stage::JuniorHigh, "中学三年間で習う漢字"},
      {Stage::Beyond, "中学までに習わない(漢)字"}, {std::nullopt, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(reading::stageWords(c.stage), c.words);
}

}  // namespace
}  // namespace torvane
