#include "checker/check_pass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "checker/report.h"
#include "support/fake_view.h"
#include "support/literal_classifier.h"
#include "support/sjis_literals.h"

namespace torvane::checker {
namespace {

using torvane::testing::FakeView;
using torvane::testing::LiteralClassifier;
using torvane::testing::sjisOf;

constexpr TextColor K = TextColor::Black;
constexpr TextColor R = TextColor::Red;
constexpr TextColor G = TextColor::Grey;

const Classifier& classifier() {
  static const tables::ClassStrings strings = tables::loadClassStrings();
  static const Classifier built(strings);
  return built;
}

std::vector<std::string> utf8Entries(const ResultList& list) {
  std::vector<std::string> out;
  for (const sjis::SjisChar& c : list.entries()) out.push_back(sjis::toUtf8(c));
  return out;
}

struct Checked {
  FakeView view;
  ResultLists lists;
  CheckEnd end;
};

std::unique_ptr<Checked> check(sjis::SjisText text, int level) {
  auto checked = std::make_unique<Checked>(Checked{FakeView(std::move(text), level), {}, {}});
  checked->end = runCheck(checked->view, classifier(), checked->lists);
  return checked;
}

std::vector<Span> coloured(const FakeView& view) {
  return {view.spans.begin() + 1, view.spans.end()};  // after the reset to black
}

TEST(CheckPass, StepsInOrderForOneCharacter) {
  auto c = check(sjisOf("漢"), 0);
  const std::vector<std::string> expected = {
      "text",          "select 0",      "length 2",   "color black",  "clear report",
      "begin text",    "show progress", "events",     "progress 漢",  "level",
      "select 0",      "length 2",      "color red",
      "events",  // the trail byte
      "hide progress", "events",        "end text",   "begin report", "line",
      "line",          "line",          "end report", "message"};
  EXPECT_EQ(c->view.calls, expected);
}

TEST(CheckPass, SpansProgressAndLists) {
  struct Case {
    const char* name;
    sjis::SjisText text;
    int level;
    std::vector<Span> spans;
    std::vector<std::string> progress;
    std::vector<std::string> kinds;
    std::size_t occurrences;
  } cases[] = {
      {"empty text", sjisOf(""), 0, {}, {}, {}, 0},
      {"grade-1 kanji and hiragana at level 0",
       sjisOf("学校の先生"),
       0,
       {},
       {"学", "校", "の", "先", "生"},
       {},
       0},
      {"spaces are skipped, line breaks are examined",
       sjisOf(" 　\r\n"),
       0,
       {},
       {"\r", "\n"},
       {},
       0},
      {"three times the same problem",
       sjisOf("漢漢漢"),
       0,
       {{0, 2, R}, {2, 2, R}, {4, 2, R}},
       {"漢", "漢", "漢"},
       {"漢"},
       3},
      {"Ａ and ａ are one kind",
       sjisOf("Ａａ"),
       0,
       {{0, 2, R}, {2, 2, R}},
       {"Ａ", "ａ"},
       {"Ａ"},
       2},
      {"offsets count two-byte characters and line breaks twice",
       sjisOf("あ\r\nA"),
       0,
       {{4, 1, R}},
       {"あ", "\r", "\n", "A"},
       {"A"},
       1},
      {"grey katakana and symbols", sjisOf("アα"), 0, {{0, 2, G}, {2, 2, G}}, {"ア", "α"}, {}, 0},
      {"a lone lead byte at the end is an incomplete character",
       sjis::rawSjis("A\x88"),
       3,
       {{0, 1, G}, {1, 1, R}},
       {"A", "\uFFFD"},
       {"\uFFFD"},
       1},
      {"a lead byte before NUL is incomplete; the NUL is visited",
       sjis::rawSjis(std::string("\x88\0"
                                 "A",
                                 3)),
       3,
       {{0, 1, R}, {2, 1, G}},
       {"\uFFFD", std::string(1, '\0'), "A"},
       {"\uFFFD"},
       1},
      {"a malformed pair is one character",
       sjis::rawSjis("\x81\x0d"
                     "a"),
       3,
       {{0, 2, R}, {2, 1, G}},
       {"\uFFFD", "a"},
       {"\uFFFD"},
       1},
      {"a character outside the code page",
       sjisOf("a鷗b"),
       0,
       {{0, 1, R}, {1, 2, R}, {3, 1, R}},
       {"a", "鷗", "b"},
       {"a", "鷗", "b"},
       3},
  };
  for (const Case& tc : cases) {
    auto c = check(tc.text, tc.level);
    EXPECT_EQ(c->end, CheckEnd::Completed) << tc.name;
    ASSERT_FALSE(c->view.spans.empty()) << tc.name;
    EXPECT_EQ(c->view.spans.front(), (Span{0, tc.text.size(), K})) << tc.name << ": the reset";
    EXPECT_EQ(coloured(c->view), tc.spans) << tc.name;
    EXPECT_EQ(c->view.progress, tc.progress) << tc.name;
    EXPECT_EQ(utf8Entries(c->lists.ProblemKinds), tc.kinds) << tc.name;
    EXPECT_EQ(c->lists.ProblemOccurrences.size(), tc.occurrences) << tc.name;
    EXPECT_EQ(c->view.eventRuns, static_cast<int>(tc.text.size()) + 1) << tc.name;
  }
}

TEST(CheckPass, KanjiAreCollectedByGradeWhateverTheOutcome) {
  for (int level : {0, 2, 6}) {
    auto c = check(sjisOf("漢字名鬱亜漢"), level);
    EXPECT_EQ(utf8Entries(c->lists.FoundGrade3), std::vector<std::string>{"漢"}) << level;
    EXPECT_EQ(utf8Entries(c->lists.FoundGrade1), (std::vector<std::string>{"字", "名"})) << level;
    EXPECT_TRUE(c->lists.FoundGrade2.empty()) << "名 counts as grade 1";
    EXPECT_EQ(utf8Entries(c->lists.FoundBeyond), std::vector<std::string>{"鬱"});
    EXPECT_EQ(utf8Entries(c->lists.FoundJuniorHigh), std::vector<std::string>{"亜"});
  }
  auto atTwo = check(sjisOf("漢"), 2);
  EXPECT_TRUE(coloured(atTwo->view).empty()) << "grade 3 is allowed at level 2";
}

TEST(CheckPass, SpansCoverExactlyOneCharacterOnRandomBytes) {
  std::mt19937 random(932);
  for (int round = 0; round < 300; ++round) {
    std::string bytes(1 + round % 64, '\0');
    for (char& b : bytes) b = static_cast<char>(random());
    auto c = check(sjis::rawSjis(bytes), static_cast<int>(random() % 8) - 1);
    std::vector<std::pair<std::size_t, std::size_t>> chars;
    sjis::forEachChar(sjis::rawSjis(bytes), [&](std::size_t at, const sjis::SjisChar& ch) {
      chars.emplace_back(at, ch.length());
    });
    for (const Span& span : coloured(c->view)) {
      ASSERT_LE(span.offset + span.length, bytes.size());
      ASSERT_NE(std::find(chars.begin(), chars.end(), std::pair(span.offset, span.length)),
                chars.end())
          << "round " << round << " span at " << span.offset;
    }
    const auto reds = std::count_if(c->view.spans.begin() + 1, c->view.spans.end(),
                                    [](const Span& s) { return s.color == R; });
    ASSERT_EQ(static_cast<std::size_t>(reds), c->lists.ProblemOccurrences.size());
  }
}

TEST(CheckPass, LiteralAndLookupPassesAgree) {
  static const tables::ClassStrings strings = tables::loadClassStrings();
  const LiteralClassifier literal(strings);
  const sjis::SjisText text = sjisOf("学校で漢字を習う。Ａａ ABC ｱｲｳ αβ 鬱鷗 ①\r\n亜");
  for (int level = -1; level <= 6; ++level) {
    FakeView a(text, level), b(text, level);
    ResultLists listsA, listsB;
    runCheck(a, classifier(), listsA);
    runCheck(b, literal, listsB);
    EXPECT_EQ(a.calls, b.calls) << level;
    EXPECT_EQ(a.reportLines, b.reportLines) << level;
  }
}

// The same text through the pass with each set of tables: the moved and added kanji change list
// and colour, and the official form 𠮟, outside the code page, is a junior-high kanji in 2020.
TEST(CheckPass, TheTwoSetsOfTables) {
  static const tables::ClassStrings strings2020 =
      tables::loadClassStrings(tables::TableSet::Tables2020);
  static const Classifier classifier2020(strings2020);
  const sjis::SjisText text =
      sjisOf("岡山の城で𠮟る誰");  // 岡 0 山 2 の 4 城 6 で 8 𠮟 10 る 12 誰 14
  struct Case {
    const Classifier* classifier;
    int level;
    std::vector<Span> spans;
    std::vector<std::string> report;
  } cases[] = {
      {&classifier(),
       3,
       {{0, 2, R}, {6, 2, R}, {10, 2, R}, {14, 2, R}},
       {"  ----- 中学までに習わない(漢)字 -----", "岡,𠮟,誰", "",
        "  ------   小学六年で習う漢字   ------", "城", "",
        "  ------   小学一年で習う漢字   ------", "山"}},
      {&classifier2020,
       3,
       {{10, 2, R}, {14, 2, R}},
       {"  ------  中学三年間で習う漢字  ------", "𠮟,誰", "",
        "  ------   小学四年で習う漢字   ------", "岡,城", "",
        "  ------   小学一年で習う漢字   ------", "山"}},
      {&classifier2020, 6, {}, {}},
      {&classifier2020, 2, {{0, 2, R}, {6, 2, R}, {10, 2, R}, {14, 2, R}}, {}},
  };
  for (const Case& c : cases) {
    FakeView view(text, c.level);
    ResultLists lists;
    runCheck(view, *c.classifier, lists);
    EXPECT_EQ(coloured(view), c.spans) << c.level;
    if (!c.report.empty()) {
      EXPECT_EQ(view.reportLines, c.report) << c.level;
    }
  }
  const LiteralClassifier literal2020(strings2020);
  for (int level = -1; level <= 6; ++level) {
    FakeView a(text, level), b(text, level);
    ResultLists listsA, listsB;
    runCheck(a, classifier2020, listsA);
    runCheck(b, literal2020, listsB);
    EXPECT_EQ(a.calls, b.calls) << level;
    EXPECT_EQ(utf8Entries(listsA.FoundJuniorHigh), utf8Entries(listsB.FoundJuniorHigh)) << level;
  }
}

TEST(CheckPass, CheckingTwiceGivesTheSameResult) {
  FakeView view(sjisOf("漢字のテストＡａ"), 0);
  ResultLists lists;
  runCheck(view, classifier(), lists);
  const auto firstSpans = view.spans;
  const auto firstLines = view.reportLines;
  const auto firstMessage = view.message;
  const auto kinds = utf8Entries(lists.ProblemKinds);
  view.spans.clear();
  runCheck(view, classifier(), lists);
  EXPECT_EQ(view.spans, firstSpans);
  EXPECT_EQ(view.reportLines, firstLines);
  EXPECT_EQ(view.message, firstMessage);
  EXPECT_EQ(utf8Entries(lists.ProblemKinds), kinds);
  EXPECT_EQ(lists.ProblemOccurrences.size(), 3u);
}

TEST(CheckPass, LevelChosenDuringThePassAppliesToTheCharactersThatFollow) {
  FakeView view(sjisOf("漢漢"), 0);
  view.levelAt = [](int reads) { return reads == 1 ? 0 : 2; };
  ResultLists lists;
  runCheck(view, classifier(), lists);
  EXPECT_EQ(coloured(view), (std::vector<Span>{{0, 2, R}}));
}

TEST(CheckPass, StopsAtTheNextByteWithoutReportOrSummary) {
  FakeView view(sjisOf("漢字漢字"), 0);
  view.stopAtEventRun = 3;  // before the second character
  ResultLists lists;
  EXPECT_EQ(runCheck(view, classifier(), lists), CheckEnd::Stopped);
  EXPECT_EQ(view.progress, std::vector<std::string>{"漢"});
  EXPECT_FALSE(view.message);
  EXPECT_TRUE(view.reportLines.empty());
  EXPECT_EQ(view.calls.back(), "end text") << "the text box is not left frozen";
}

TEST(CheckPass, RefusedReportLineStopsTheCommandBeforeTheSummary) {
  FakeView view(sjisOf("漢字"), 0);
  view.refuseLine = 2;
  ResultLists lists;
  try {
    runCheck(view, classifier(), lists);
    FAIL() << "no failure";
  } catch (const CheckFailure& failure) {
    EXPECT_EQ(std::string(failure.what()), "RichEdit での行の挿入エラー");
  }
  EXPECT_EQ(view.reportLines.size(), 2u);
  EXPECT_FALSE(view.message);
}

TEST(CheckPass, RecordingViewKeepsWhatTheCommandLineNeeds) {
  RecordingView view(sjisOf("漢字漢"), 0);
  ResultLists lists;
  runCheck(view, classifier(), lists);
  EXPECT_EQ(view.spans().spans, (std::vector<Span>{{0, 6, K}, {0, 2, R}, {4, 2, R}}));
  EXPECT_EQ(view.record().spanCount, 3u);
  EXPECT_EQ(view.record().progressCount, 3u);
  EXPECT_EQ(view.record().reportLines.size(), 5u);
  ASSERT_TRUE(view.record().summary);
  EXPECT_EQ(view.record().summary->text, "1 種 2 箇所の問題が見つかりました。");
}

}  // namespace
}  // namespace torvane::checker
