#include "checker/class_settings.h"

#include <gtest/gtest.h>

#include "checker/table_sets.h"

#include <string>
#include <variant>
#include <vector>

namespace torvane::checker {
namespace {

using Kind = ListProblem::Kind;

std::string repeated(std::string_view piece, std::size_t times) {
  std::string out;
  for (std::size_t i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(KnownKanji, EveryKanjiCountsAndTheRestIsIgnored) {
  struct Row {
    const char* name;
    std::string file;
    std::u32string kanji;
    std::u32string ignored;
  } rows[] = {
      {"one a line", "岡\n城\n", U"城岡", U""},
      {"code-point order, each once", "城岡城 岡", U"城岡", U""},
      {"kana, letters and marks are ignored", "岡やまA々〆1", U"岡", U"やまA々〆1"},
      {"a byte-order mark and CR LF", "\xEF\xBB\xBF岡\r\n城\r\n", U"城岡", U""},
      {"outside the code page and the first extension", "鷗𠮷㐂", U"㐂鷗𠮷", U""},
      {"compatibility ideographs", "\uF929", U"\uF929", U""},
      {"full-width space between", "岡\u3000城", U"城岡", U""},
  };
  for (const Row& row : rows) {
    const auto parsed = parseKnownKanji(row.file);
    ASSERT_TRUE(std::holds_alternative<KnownKanji>(parsed)) << row.name;
    const KnownKanji& known = std::get<KnownKanji>(parsed);
    EXPECT_EQ(std::u32string(known.kanji.begin(), known.kanji.end()), row.kanji) << row.name;
    EXPECT_EQ(std::u32string(known.ignored.begin(), known.ignored.end()), row.ignored) << row.name;
  }
}

TEST(AllowedWords, OneWordALine) {
  struct Row {
    const char* name;
    std::string file;
    std::vector<std::string> words;
  } rows[] = {
      {"plain", "岡山\n鹿児島\n", {"岡山", "鹿児島"}},
      {"no LF at the end", "岡山\n鹿児島", {"岡山", "鹿児島"}},
      {"CR LF and a byte-order mark", "\xEF\xBB\xBF岡山\r\n鹿児島\r\n", {"岡山", "鹿児島"}},
      {"empty lines and comments", "# 地名\n\n岡山\n   \n#岡田\n", {"岡山"}},
      {"white space around a word goes", "  岡山\t\n\u3000鹿児島\u3000\n", {"岡山", "鹿児島"}},
      {"space inside a word stays", "New York\n", {"New York"}},
      {"a word given twice is kept once", "岡山\n鹿児島\n岡山\n", {"岡山", "鹿児島"}},
  };
  for (const Row& row : rows) {
    const auto parsed = parseAllowedWords(row.file);
    ASSERT_TRUE(std::holds_alternative<std::vector<std::string>>(parsed)) << row.name;
    EXPECT_EQ(std::get<std::vector<std::string>>(parsed), row.words) << row.name;
  }
}

TEST(ListFiles, ProblemsNameTheLine) {
  const std::string line100 = repeated("あ", 100);
  const std::string line101 = repeated("あ", 101);
  struct Row {
    const char* name;
    std::string file;
    std::optional<ListProblem> problem;  // for both kinds of list
  } rows[] = {
      {"bad byte on line 3", "岡\n城\n\xff\n", ListProblem{Kind::NotUtf8, 3}},
      {"cut-off sequence on line 1", "\xe5\xb2", ListProblem{Kind::NotUtf8, 1}},
      {"overlong form", "岡\n\xc0\xaf", ListProblem{Kind::NotUtf8, 2}},
      {"nothing at all", "", ListProblem{Kind::Empty, 0}},
      {"only comments and blank lines", "#\n\n  \n", ListProblem{Kind::Empty, 0}},
      {"a line of 100 characters", "岡\n" + line100 + "\n", std::nullopt},
      {"a line of 101 characters", "岡\n" + line101 + "\n", ListProblem{Kind::LineTooLong, 2}},
      {"101 with its CR LF still 100", "岡" + repeated("あ", 99) + "\r\n", std::nullopt},
      {"1,000,000 bytes", "岡\n" + std::string(kMaxListFileBytes - 8, '\n') + "城\n", std::nullopt},
      {"1,000,001 bytes", "岡\n" + std::string(kMaxListFileBytes - 7, '\n') + "城\n",
       ListProblem{Kind::TooLarge, 0}},
  };
  for (const Row& row : rows) {
    const auto known = parseKnownKanji(row.file);
    const auto allowed = parseAllowedWords(row.file);
    if (row.problem) {
      ASSERT_TRUE(std::holds_alternative<ListProblem>(known)) << row.name;
      EXPECT_EQ(std::get<ListProblem>(known), *row.problem) << row.name;
      ASSERT_TRUE(std::holds_alternative<ListProblem>(allowed)) << row.name;
      EXPECT_EQ(std::get<ListProblem>(allowed), *row.problem) << row.name;
    } else {
      EXPECT_TRUE(std::holds_alternative<KnownKanji>(known)) << row.name;
      EXPECT_TRUE(std::holds_alternative<std::vector<std::string>>(allowed)) << row.name;
    }
  }
  // A list of kana only holds no kanji: as a list of known kanji it is empty.
  EXPECT_EQ(std::get<ListProblem>(parseKnownKanji("おかやま\n")), (ListProblem{Kind::Empty, 0}));
}

TEST(ListFiles, MessagesNameTheFileAndTheLine) {
  EXPECT_EQ(describeInEnglish({Kind::NotUtf8, 3}, "'k.txt'"), "'k.txt': line 3 is not valid UTF-8");
  EXPECT_EQ(describeInEnglish({Kind::Empty, 0}, "'k.txt'"), "'k.txt': the list is empty");
  EXPECT_EQ(describeInEnglish({Kind::TooLarge, 0}, "'k.txt'"),
            "'k.txt': the file is larger than 1 MB, too large for a list");
  EXPECT_EQ(describeInEnglish({Kind::LineTooLong, 7}, "'k.txt'"),
            "'k.txt': line 7 is longer than 100 characters");
}

TEST(ListFiles, AnExportReadsBackAsItWas) {
  std::vector<char32_t> known;
  for (char32_t c = 0x4E00; c < 0x4E00 + 95; ++c) known.push_back(c);  // three lines
  known.push_back(U'𠮷');
  const std::string knownFile = knownKanjiFile(known);
  EXPECT_EQ(std::count(knownFile.begin(), knownFile.end(), '\n'), 3);
  EXPECT_EQ(std::get<KnownKanji>(parseKnownKanji(knownFile)).kanji, known);

  const std::vector<std::string> allowed = {"岡山", "New York", "鷗外", "ｉＰＳ細胞"};
  EXPECT_EQ(std::get<std::vector<std::string>>(parseAllowedWords(allowedWordsFile(allowed))),
            allowed);
}

TEST(KnownKanji, GroupedByTheStageOfTheTables) {
  // 岡 stands in no 1989 table and in grade 4 since 2020; 城 moved from grade 6 to 4.
  const std::vector<char32_t> known = {U'城', U'岡', U'漢', U'鷗', U'𠮟'};
  const auto of1989 = knownByStage(known, classifierFor(tables::TableSet::Tables1989));
  const auto of2020 = knownByStage(known, classifierFor(tables::TableSet::Tables2020));
  const auto at = [](const auto& byStage, Stage stage) {
    const auto& list = byStage[static_cast<std::size_t>(stage)];
    return std::u32string(list.begin(), list.end());
  };
  EXPECT_EQ(at(of1989, Stage::Beyond), U"岡鷗𠮟");
  EXPECT_EQ(at(of1989, Stage::Grade6), U"城");
  EXPECT_EQ(at(of1989, Stage::Grade3), U"漢");
  EXPECT_EQ(at(of2020, Stage::Grade4), U"城岡");
  EXPECT_EQ(at(of2020, Stage::JuniorHigh), U"𠮟") << "the official form counts as its stand-in";
  EXPECT_EQ(at(of2020, Stage::Beyond), U"鷗");
}

}  // namespace
}  // namespace torvane::checker
