#include "checker/report.h"

#include <gtest/gtest.h>

#include "checker/check_pass.h"
#include "checker/failure_text.h"
#include "support/fake_view.h"
#include "support/sjis_literals.h"
#include "tables/class_strings.h"

namespace torvane::checker {
namespace {

using torvane::testing::charOf;
using torvane::testing::FakeView;
using torvane::testing::sjisOf;

struct Reported {
  std::vector<std::string> lines;
  Message message;
};

Reported report(std::string_view utf8, int level) {
  static const tables::ClassStrings strings = tables::loadClassStrings();
  static const Classifier classifier(strings);
  FakeView view(sjisOf(utf8), level);
  ResultLists lists;
  runCheck(view, classifier, lists);
  return {view.reportLines, view.message.value_or(Message{})};
}

const std::string kGrade1 = "  ------   小学一年で習う漢字   ------";
const std::string kGrade3 = "  ------   小学三年で習う漢字   ------";
const std::string kBeyond = "  ----- 中学までに習わない(漢)字 -----";
const std::string kJuniorHigh = "  ------  中学三年間で習う漢字  ------";

const Message kNoProblems{MessageKind::Information, "情報", "問題は見つかりませんでした。"};

TEST(Report, HeadersAre38BytesInShiftJis) {
  for (const ReportSection& section : kReportSections) {
    EXPECT_EQ(tables::rowToSjis(section.header).size(), 38u) << section.header;
    EXPECT_TRUE(section.header.starts_with("  ")) << section.header;
  }
}

TEST(Report, SectionsAndSummaries) {
  struct Case {
    const char* name;
    const char* text;
    int level;
    std::vector<std::string> lines;
    Message message;
  } cases[] = {
      {"empty text", "", 0, {}, kNoProblems},
      {"only hiragana", "ひらがなだけ", 0, {}, kNoProblems},
      {"only katakana is grey, not a problem", "カタカナ", 0, {}, kNoProblems},
      {"grade-1 kanji are allowed; the last section has no empty line",
       "学校",
       0,
       {kGrade1, "学,校"},
       kNoProblems},
      {"漢字漢",
       "漢字漢",
       0,
       {kGrade3, "漢", "", kGrade1, "字"},
       {MessageKind::Warning, "警告", "1 種 2 箇所の問題が見つかりました。"}},
      {"one-byte characters are never collected",
       "ABC",
       0,
       {},
       {MessageKind::Warning, "警告", "3 種 3 箇所の問題が見つかりました。"}},
      {"a report that ends before grade 1 ends with an empty line",
       "亜鬱",
       6,
       {kBeyond, "鬱", "", kJuniorHigh, "亜", ""},
       {MessageKind::Warning, "警告", "1 種 1 箇所の問題が見つかりました。"}},
      {"the hardest stage first",
       "学亜鷗",
       0,
       {kBeyond, "鷗", "", kJuniorHigh, "亜", "", kGrade1, "学"},
       {MessageKind::Warning, "警告", "2 種 2 箇所の問題が見つかりました。"}},
  };
  for (const Case& c : cases) {
    const Reported r = report(c.text, c.level);
    EXPECT_EQ(r.lines, c.lines) << c.name;
    EXPECT_EQ(r.message, c.message) << c.name;
  }
}

TEST(Report, LinesReachTheBoxAsShiftJisBytes) {
  static const tables::ClassStrings strings = tables::loadClassStrings();
  static const Classifier classifier(strings);
  FakeView view(sjisOf("鬱漢"), 0);
  ResultLists lists;
  runCheck(view, classifier, lists);
  const std::vector<std::string> expected = {
      // "  ----- 中学までに習わない(漢)字 -----"
      "  ----- \x92\x86\x8a\x77\x82\xdc\x82\xc5\x82\xc9\x8f\x4b\x82\xed\x82\xc8\x82\xa2(\x8a\xbf)"
      "\x8e\x9a -----",
      "\x9f\x54",  // 鬱
      "",
      // "  ------   小学三年で習う漢字   ------"
      "  ------   \x8f\xac\x8a\x77\x8e\x4f\x94\x4e\x82\xc5\x8f\x4b\x82\xa4\x8a\xbf\x8e\x9a   "
      "------",
      "\x8a\xbf",  // 漢
      "",
  };
  std::vector<std::string> lines;
  for (const sjis::SjisText& line : view.reportLinesSjis) lines.push_back(line.bytes);
  EXPECT_EQ(lines, expected);
}

TEST(Report, CommaTextQuotesOnlyWhatNeedsIt) {
  struct Case {
    const char* name;
    std::vector<sjis::SjisChar> entries;
    std::string line;
  } cases[] = {
      {"kanji", {charOf("学"), charOf("校")}, "\x8a\x77,\x8d\x5a"},
      {"a byte below 0x20", {sjis::SjisChar::pair(0x81, 0x0D)}, "\"\x81\x0d\""},
      {"a double quote is doubled", {sjis::SjisChar::pair(0x81, '"')}, "\"\x81\"\"\""},
      {"a comma", {sjis::SjisChar::pair(0x81, ','), charOf("学")}, "\"\x81,\",\x8a\x77"},
      {"a placeholder needs no quotes", {sjis::SjisChar::outsideCodePage(U'鷗')}, "\x81\x7f"},
  };
  for (const Case& c : cases) EXPECT_EQ(commaText(c.entries).bytes, c.line) << c.name;

  const sjis::SjisText withForeign =
      commaText({charOf("学"), sjis::SjisChar::outsideCodePage(U'𠮷')});
  EXPECT_EQ(sjis::toUtf8(withForeign), "学,𠮷");
}

TEST(Report, LineEndsAreTrimmed) {
  EXPECT_EQ(trimLineEnd(sjis::rawSjis("ab \t\r\n\x01")).bytes, "ab");
  EXPECT_EQ(trimLineEnd(sjis::rawSjis("   ")).bytes, "");
  EXPECT_EQ(trimLineEnd(sjis::rawSjis("  a")).bytes, "  a") << "leading blanks stay";
  sjis::SjisText foreignAtEnd = sjisOf("a鷗 ");
  EXPECT_EQ(sjis::toUtf8(trimLineEnd(foreignAtEnd)), "a鷗");
}

TEST(FailureText, AppendsAPeriodAfterCharactersThatSortAfterIt) {
  struct Case {
    const char* message;
    const char* text;
  } cases[] = {
      {"", ""},
      {"RichEdit での行の挿入エラー", "RichEdit での行の挿入エラー."},
      {"Out of memory", "Out of memory."},
      {"Done.", "Done."},
      {"Really!", "Really!"},    // '!' sorts before '.'
      {"list (x)", "list (x)"},  // so does ')'
      {"a-", "a-"},              // and '-'
      {"path/", "path/."},       // '/' sorts after '.'
      {"1", "1."},
  };
  for (const Case& c : cases) EXPECT_EQ(failureText(c.message), c.text) << c.message;
}

}  // namespace
}  // namespace torvane::checker
