// A box's text checked again for its proposals, with no window: the ways from Shift_JIS bytes
// back to UTF-8 and to the box's positions, the edits that write proposals into the box, and the
// whole of what the proposals of a box need.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rewriting/checked_source.h"
#include "support/reading_fixture.h"

namespace torvane {
namespace {

using checker::Stage;
using reading::Mode;
using reading::Proposal;
using reading::TextEdit;

TEST(CheckedSource, MapsBytesToUtf8AndToBoxPositions) {
  // A lone surrogate is one character, U+FFFD, in both forms; 𠮷 takes two UTF-16 units; the
  // paragraph separator is CR LF in Shift_JIS.
  const std::u16string text = std::u16string(1, u'\xD800') + u"𠮷\u2029漢";
  const reading::CheckedSource checked(text, {});
  const reading::CheckedText view = checked.view();
  EXPECT_EQ(view.utf8, "\uFFFD𠮷\u2029漢");
  // Bytes: U+FFFD 0-2, 𠮷 2-4, CR LF 4-6, 漢 6-8.
  ASSERT_EQ(view.converted.text.size(), 8u);
  EXPECT_EQ(view.converted.sourceOf, (std::vector<std::uint32_t>{0, 0, 3, 3, 7, 7, 10, 10, 13}));
  const struct {
    std::size_t offset, length, from, to;
  } ranges[] = {
      {0, 2, 0, 1}, {2, 2, 1, 3}, {4, 2, 3, 4}, {6, 2, 4, 5}, {6, 9, 4, 5},  // clamped to the end
      {8, 0, 5, 5},
  };
  for (const auto& r : ranges) {
    EXPECT_EQ(checked.utf16Range(r.offset, r.length), std::make_pair(r.from, r.to)) << r.offset;
  }
}

TEST(CheckedSource, ChecksAsTheWindowDoes) {
  // At level 0 漢 is red and あ stays black; the reset to black comes first.
  const auto checked = reading::CheckedSource::check(u"あ漢", 0, testing::testClassifier());
  const std::vector<checker::Span> expected = {{0, 4, checker::TextColor::Black},
                                               {2, 2, checker::TextColor::Red}};
  EXPECT_EQ(std::vector<checker::Span>(checked.view().spans.begin(), checked.view().spans.end()),
            expected);
}

// 𠮷野の書け。 and a line, then 明日: proposals by hand at their Shift_JIS offsets.
TEST(TextEdits, KanaReplacesAWordAndRubyMarksItsBase) {
  const reading::CheckedSource source(u"𠮷野の書け。\n明日", {});
  const std::vector<Proposal> proposals = {
      {0, 4, "𠮷野", "よしの", {}, {}, Stage::Beyond, {}},
      {6, 4, "書け", "かけ", {}, {}, Stage::Grade2, {}},
      {14, 4, "明日", "あした", {}, {}, Stage::Grade2, {}},
  };
  const struct {
    const char* what;
    std::vector<Mode> modes;
    std::vector<TextEdit> edits;
  } cases[] = {
      {"ruby around the base, two units for 𠮷, the kana of 書け outside",
       {Mode::Ruby, Mode::Ruby, Mode::Ruby},
       {{0, 0, "｜"},
        {3, 3, "《よしの》"},
        {4, 4, "｜"},
        {5, 5, "《か》"},
        {8, 8, "｜"},
        {10, 10, "《あした》"}}},
      {"kana in place of the pieces only, after the line break",
       {Mode::Keep, Mode::Kana, Mode::Kana},
       {{4, 5, "か"}, {8, 10, "あした"}}},
      {"every word kept", {Mode::Keep, Mode::Keep, Mode::Keep}, {}},
      {"fewer modes than proposals", {Mode::Kana}, {{0, 3, "よしの"}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(reading::textEdits(source, proposals, c.modes), c.edits) << c.what;
  }
  // A word with no reading stays as it is in any mode.
  std::vector<Proposal> unknown = {proposals[0]};
  unknown[0].reading.clear();
  EXPECT_TRUE(reading::textEdits(source, unknown, std::vector<Mode>{Mode::Kana}).empty());
}

TEST(TextEdits, Utf16LengthCountsSurrogatePairsTwice) {
  EXPECT_EQ(reading::utf16Length(""), 0u);
  EXPECT_EQ(reading::utf16Length("aあ"), 2u);
  EXPECT_EQ(reading::utf16Length("𠮷野"), 3u);
}

TEST(ProposeReadings, TheWordsOfTheRedKanjiWithTheirRows) {
  const auto proposed = reading::proposeReadings(testing::testAnalyzer(), u"学校で漢字を習う。漢字",
                                                 0, testing::testClassifier());
  ASSERT_EQ(proposed.proposals.size(), 3u);
  std::vector<std::pair<std::string, std::string>> rows;
  for (const auto& row : proposed.rows) rows.emplace_back(row.word, row.reading);
  EXPECT_EQ(rows, (std::vector<std::pair<std::string, std::string>>{{"漢字", "かんじ"},
                                                                    {"習う", "ならう"}}))
      << "the grade-1 words 学校 stay as they are at level 0";
  EXPECT_EQ(proposed.rows[0].occurrences, (std::vector<std::size_t>{0, 2}));
  const Proposal& last = proposed.proposals[2];
  EXPECT_EQ(proposed.source.utf16Range(last.offset, last.length), std::make_pair(9ul, 11ul));
}

TEST(ProposeReadings, WithTheReadingsJudgedTheNotedWordsComeTooAndAllowedWordsStayBlack) {
  // At level 1 漢 of 漢字 is red and 今上 gives a note; 岡山 is allowed, so it is no red word,
  // though it used to be proposed as one.
  const std::vector<std::string> words{"岡山"};
  const checker::AllowedWords allowed(words);
  const auto proposed = reading::proposeReadings(testing::testAnalyzer(), u"漢字と今上と岡山", 1,
                                                 testing::testClassifier(), {{}, &allowed, true});
  std::vector<std::string> rows;
  for (const auto& row : proposed.rows) rows.push_back(row.word);
  EXPECT_EQ(rows, (std::vector<std::string>{"漢字", "今上"}));
  ASSERT_EQ(proposed.rows.size(), 2u);
  EXPECT_TRUE(proposed.rows[0].notes.empty());
  ASSERT_EQ(proposed.rows[1].notes.size(), 1u);
  EXPECT_EQ(proposed.rows[1].notes[0].reading, "きん");
  EXPECT_EQ(proposed.rows[1].notes[0].offset, 0u);  // from the word's start
}

}  // namespace
}  // namespace torvane
