// One check from a text and a request: what the request adds never changes the check, a plain
// run keeps nothing it does not show, and input errors come first.
#include "checker/stage.h"
#include "request/run.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace torvane::request {
namespace {

using checker::Span;
using checker::TextColor;

TEST(PackedSpans, GiveBackWhatWasPushedInOrder) {
  const std::vector<Span> spans = {
      {0, 5000, TextColor::Black},                           // the reset, long
      {0, 2, TextColor::Red},                                // no distance
      {7, 1, TextColor::Grey},                               // the last distance of a one-byte head
      {15, 2, TextColor::Red},                               // the first of a two-byte head
      {15, 1, TextColor::Black},   {16, 0, TextColor::Red},  // empty
      {17, 3, TextColor::Grey},    {std::size_t{1} << 33, 2, TextColor::Red},  // past 4 GiB
      {3, 2, TextColor::Grey},                                                 // backwards
      {3, 1, TextColor::Red},
  };
  PackedSpans packed;
  for (const Span& span : spans) packed.push(span);
  EXPECT_EQ(packed.size(), spans.size());
  EXPECT_EQ(packed.unpacked(), spans);
}

TEST(PackedSpans, AKanjiNextToTheLastTakesOneByte) {
  PackedSpans packed;
  for (std::size_t i = 0; i < 1000; ++i) packed.push({2 * i, 2, TextColor::Red});
  EXPECT_EQ(packed.byteSize(), 1000u);
}

CheckResult runUtf8(const std::string& text, CheckRequest request) {
  return run(InputText::utf8(text), request);
}

void expectSameCheck(const CheckResult& a, const CheckResult& b, const std::string& what) {
  EXPECT_EQ(a.bytes, b.bytes) << what;
  EXPECT_EQ(a.record.progressCount, b.record.progressCount) << what;
  EXPECT_EQ(a.record.reportLines, b.record.reportLines) << what;
  EXPECT_EQ(a.record.summary, b.record.summary) << what;
  EXPECT_EQ(a.lists.ProblemOccurrences.entries(), b.lists.ProblemOccurrences.entries()) << what;
  EXPECT_EQ(a.lists.ProblemKinds.entries(), b.lists.ProblemKinds.entries()) << what;
  for (std::size_t stage = 0; stage < checker::kStageCount; ++stage) {
    const auto found = static_cast<checker::Stage>(stage);
    EXPECT_EQ(a.lists.found(found).entries(), b.lists.found(found).entries()) << what;
  }
}

TEST(Request, WhatItAddsNeverChangesTheCheck) {
  const std::string texts[] = {
      "お姉さんは書けば危険な爆発を読み始めた。\r\n葛\U000E0100飾区の鷗外は<a&b>と書いた\n",
      "岡山の城と井戸\u2028𠮟る\u3000ＡＢＣ",
      "",
  };
  for (const std::string& text : texts) {
    for (int level : {-1, 2, 6}) {
      for (auto tables : {tables::TableSet::Tables1989, tables::TableSet::Tables2020}) {
        const CheckRequest plain{.level = level, .tables = tables};
        CheckRequest everything = plain;
        everything.spans = everything.tableChanges = everything.proposals = true;
        CheckRequest spansOnly = plain;
        spansOnly.spans = true;
        const CheckResult a = runUtf8(text, plain);
        const CheckResult b = runUtf8(text, everything);
        const CheckResult c = runUtf8(text, spansOnly);
        const std::string what = text + " at level " + std::to_string(level);
        expectSameCheck(a, b, what);
        expectSameCheck(a, c, what);
        EXPECT_EQ(b.spans.unpacked(), c.spans.unpacked()) << what;
        EXPECT_EQ(b.spans.size(), b.record.spanCount) << what;
        ASSERT_TRUE(b.proposals && b.tableChanges) << what;
      }
    }
  }
}

// A plain check of a long text keeps neither spans nor the text: its memory is the text's.
TEST(Request, APlainRunKeepsNoSpansNoTextAndNoParts) {
  const CheckResult result = runUtf8("漢字漢\n", {.level = 0});
  EXPECT_TRUE(result.foundProblems());
  EXPECT_EQ(result.bytes, 8u);
  EXPECT_EQ(result.record.spanCount, 3u);
  EXPECT_TRUE(result.spans.empty());
  EXPECT_TRUE(result.text.utf8.empty());
  EXPECT_TRUE(result.text.converted.text.empty());
  EXPECT_FALSE(result.tableChanges);
  EXPECT_FALSE(result.proposals);
}

TEST(Request, DecodesEachEncodingAsTheWindowOrAsItStands) {
  struct Case {
    const char* name;
    InputText input;
    std::string bytes;
  } cases[] = {
      {"UTF-8: mark skipped, breaks become CR LF",
       InputText::utf8("\xEF\xBB\xBF"
                       "a\nb\rc\r\n"),
       "a\r\nb\r\nc\r\n"},
      {"UTF-8: a mark later on is a character", InputText::utf8("a\xEF\xBB\xBF"), "a"},
      {"Shift_JIS: LF and a mark as they stand", InputText::shiftJis("\xEF\xBB\xBF\x8a\xbf\n"),
       "\xEF\xBB\xBF\x8a\xbf\n"},
  };
  for (Case& c : cases) {
    for (bool proposals : {false, true}) {
      const CheckResult result = run(c.input, {.level = 6, .spans = true, .proposals = proposals});
      EXPECT_EQ(result.bytes, c.bytes.size()) << c.name;
      if (proposals) {
        EXPECT_EQ(result.text.converted.text.bytes, c.bytes) << c.name;
      }
    }
  }
  const CheckResult fromUtf8 = run(InputText::utf8("\xEF\xBB\xBF漢字"), {.proposals = true});
  EXPECT_EQ(fromUtf8.text.utf8, "漢字");  // the source map counts from the first character
  EXPECT_EQ(fromUtf8.text.converted.sourceOf, (std::vector<std::uint32_t>{0, 0, 3, 3, 6}));
}

// Sets an environment variable for the life of a scope.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value, 1);
  }
  ~ScopedEnvironment() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(Request, InputErrorsComeBeforeTheDictionaryAndTheDictionaryBeforeTheCheck) {
  const ScopedEnvironment missing("TORVANE_MECAB_DICDIR", "/nonexistent/ipadic");
  // A plain run reads UTF-8 from its code points, a run with proposals converts it first.
  for (const CheckRequest& request : {CheckRequest{.proposals = true}, CheckRequest{}}) {
    try {
      run(InputText::utf8("\xEF\xBB\xBF"
                          "ok\xFF"),
          request);
      ADD_FAILURE() << "no error";
    } catch (const InputError& e) {
      EXPECT_STREQ(e.what(), "invalid UTF-8 at byte offset 5");  // the mark counted
    }
  }
  EXPECT_THROW(run(InputText::utf8("漢字"), {.proposals = true}), ReadingsUnavailable);
  EXPECT_NO_THROW(run(InputText::utf8("漢字"), {.spans = true}));  // the check needs none
}

}  // namespace
}  // namespace torvane::request
