#include "tables/class_strings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "sjis/byte_type.h"
#include "sjis/sjis_text.h"
#include "support/sjis_literals.h"
#include "tables/membership.h"
#include "tables/source_tables.h"
#include "tables/source_tables_2020.h"

namespace torvane::tables {
namespace {

using torvane::testing::bytesOf;

const ClassStrings& strings() {
  static const ClassStrings loaded = loadClassStrings();
  return loaded;
}

const ClassStrings& strings2020() {
  static const ClassStrings loaded = loadClassStrings(TableSet::Tables2020);
  return loaded;
}

std::vector<std::pair<const char*, const std::string*>> allClassStrings() {
  const ClassStrings& s = strings();
  const ClassStrings& t = strings2020();
  return {{"GradeChars1", &s.GradeChars1},
          {"GradeChars2", &s.GradeChars2},
          {"GradeChars3", &s.GradeChars3},
          {"GradeChars4", &s.GradeChars4},
          {"GradeChars5", &s.GradeChars5},
          {"GradeChars6", &s.GradeChars6},
          {"HiraganaChars", &s.HiraganaChars},
          {"KatakanaChars", &s.KatakanaChars},
          {"WideLatinChars", &s.WideLatinChars},
          {"NarrowLatinChars", &s.NarrowLatinChars},
          {"NarrowKanaChars", &s.NarrowKanaChars},
          {"JuniorHighChars", &s.JuniorHighChars},
          {"SymbolChars", &s.SymbolChars},
          {"DigitChars", &s.DigitChars},
          {"GradeChars1 2020", &t.GradeChars1},
          {"GradeChars2 2020", &t.GradeChars2},
          {"GradeChars3 2020", &t.GradeChars3},
          {"GradeChars4 2020", &t.GradeChars4},
          {"GradeChars5 2020", &t.GradeChars5},
          {"GradeChars6 2020", &t.GradeChars6},
          {"JuniorHighChars 2020", &t.JuniorHighChars}};
}

template <std::size_t N>
std::map<std::string_view, int> repeatedRows(const std::string_view (&rows)[N]) {
  std::map<std::string_view, int> count;
  for (std::string_view row : rows) ++count[row];
  std::erase_if(count, [](const auto& entry) { return entry.second < 2; });
  return count;
}

TEST(SourceTables, GradeRowsPerGrade) {
  std::map<char, int> perGrade;
  for (std::string_view row : ListBox1) {
    if (!row.empty()) ++perGrade[row[0]];
  }
  const std::map<char, int> expected = {{'1', 80},  {'2', 161}, {'3', 200},
                                        {'4', 200}, {'5', 185}, {'6', 181}};
  EXPECT_EQ(perGrade, expected);
}

TEST(SourceTables, RepeatedRowsAreTheOnesListed) {
  const std::map<std::string_view, int> hiragana = {{"「", 2}, {"」", 2}, {"［", 2},
                                                    {"］", 2}, {"｛", 2}, {"｝", 2},
                                                    {"／", 2}, {"（", 2}, {"）", 2}};
  EXPECT_EQ(repeatedRows(ListBox2), hiragana);
  // 名 is taught in grade 1 and listed again among the grade-2 rows.
  EXPECT_EQ(std::count(std::begin(ListBox1), std::end(ListBox1), "1,名"), 1);
  EXPECT_EQ(std::count(std::begin(ListBox1), std::end(ListBox1), "2,名"), 1);
  EXPECT_TRUE(repeatedRows(ListBox14).empty());
  EXPECT_TRUE(repeatedRows(ListBox3).empty());
  EXPECT_EQ(repeatedRows(ListBox16).size(), 14u);  // the NEC repeats of ≒≡∫√⊥∠∵∩∪, ⅰ to ⅳ, ￢
}

TEST(SourceTables, BetweenHiraganaAndSymbolsTheSharedRowsAreTheListedOnes) {
  std::set<std::string_view> shared;
  for (std::string_view row : ListBox2) {
    if (!row.empty() &&
        std::find(std::begin(ListBox16), std::end(ListBox16), row) != std::end(ListBox16)) {
      shared.insert(row);
    }
  }
  // The Part's list, through the code page: ～ and ｜ become the same bytes either way.
  std::set<std::string> sharedBytes;
  for (std::string_view row : shared) sharedBytes.insert(bytesOf(row));
  std::set<std::string> expected;
  for (std::string_view row : {"‘", "’", "“", "”", "＊", "／", "＿", "｜", "～"}) {
    expected.insert(bytesOf(row));
  }
  EXPECT_EQ(sharedBytes, expected);
}

TEST(ClassStrings, GradeStringsHoldTheKanjiWithoutSeparators) {
  const ClassStrings& s = strings();
  EXPECT_EQ(s.GradeChars1.size(), 160u);
  EXPECT_EQ(s.GradeChars2.size(), 322u);
  EXPECT_EQ(s.GradeChars3.size(), 400u);
  EXPECT_EQ(s.GradeChars4.size(), 400u);
  EXPECT_EQ(s.GradeChars5.size(), 370u);
  EXPECT_EQ(s.GradeChars6.size(), 362u);
  EXPECT_EQ(s.GradeChars1.substr(0, 4), bytesOf("気雨"));
  EXPECT_EQ(s.GradeChars6.substr(s.GradeChars6.size() - 2), bytesOf("論"));
}

TEST(ClassStrings, JoinedStringsEndEveryRowWithCrLf) {
  const ClassStrings& s = strings();
  struct Case {
    const std::string* string;
    std::size_t rows, bytesPerChar, emptyRows;
  } cases[] = {
      {&s.HiraganaChars, 201, 2, 1},  {&s.KatakanaChars, 81, 2, 0},
      {&s.WideLatinChars, 53, 2, 1},  {&s.NarrowLatinChars, 53, 1, 1},
      {&s.NarrowKanaChars, 84, 1, 0}, {&s.JuniorHighChars, 940, 2, 1},
      {&s.SymbolChars, 297, 2, 0},    {&s.DigitChars, 19, 1, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.string->size(), (c.rows - c.emptyRows) * (c.bytesPerChar + 2) + c.emptyRows * 2);
    EXPECT_TRUE(c.string->ends_with("\r\n"));
  }
  EXPECT_EQ(s.NarrowKanaChars.substr(0, 3), "\xb1\r\n");
  EXPECT_EQ(s.DigitChars.substr(s.DigitChars.size() - 3), "\xa5\r\n");
  EXPECT_TRUE(s.HiraganaChars.ends_with("\r\n\r\n")) << "the empty row adds CR LF alone";
}

TEST(ClassStrings, NameIsInGradeOneAndGradeTwo) {
  const std::string name = bytesOf("名");
  EXPECT_TRUE(containsPairLiteral(strings().GradeChars1, name[0], name[1]));
  EXPECT_TRUE(containsPairLiteral(strings().GradeChars2, name[0], name[1]));
}

TEST(ClassStrings, OneByteCoverage) {
  const ClassStrings& s = strings();
  for (unsigned b = 0x21; b <= 0x7E; ++b) {
    const int in = containsByteLiteral(s.NarrowLatinChars, b) +
                   containsByteLiteral(s.NarrowKanaChars, b) + containsByteLiteral(s.DigitChars, b);
    EXPECT_EQ(in, 1) << "printable ASCII 0x" << std::hex << b;
  }
  // One-byte characters are only looked up in the one-byte class strings.
  for (std::uint8_t b : {0x20, 0x09, 0x00, 0x1B, 0x7F, 0xA1, 0xA4}) {
    for (const std::string* string : {&s.DigitChars, &s.NarrowLatinChars, &s.NarrowKanaChars}) {
      EXPECT_FALSE(containsByteLiteral(*string, b)) << "0x" << std::hex << int(b);
    }
  }
  for (unsigned b = 0xA6; b <= 0xDF; ++b)
    EXPECT_TRUE(containsByteLiteral(s.NarrowKanaChars, b)) << b;
  for (std::uint8_t b : {0xA2, 0xA3, 0xA5}) EXPECT_TRUE(containsByteLiteral(s.DigitChars, b));
  for (const std::string* string : {&s.DigitChars, &s.NarrowLatinChars, &s.NarrowKanaChars}) {
    EXPECT_TRUE(containsByteLiteral(*string, '\r') && containsByteLiteral(*string, '\n'));
  }
}

TEST(ClassStrings, LiteralPairSearchSkipsOccurrencesOnTrailBytes) {
  // In あい (82 A0 82 A2) the bytes A0 82 stand at offset 1, a trail byte.
  const std::string text = "\x82\xa0\x82\xa2";
  EXPECT_FALSE(containsPairLiteral(text, 0xA0, 0x82));
  EXPECT_TRUE(containsPairLiteral(text, 0x82, 0xA2));
  // 0x81 0x81 0x81 0x40: the pair 81 40 starts on a lead byte (offset 2).
  EXPECT_TRUE(containsPairLiteral("\x81\x81\x81\x40", 0x81, 0x40));
  EXPECT_FALSE(containsPairLiteral("\x81\x81\x40", 0x81, 0x40));
}

// The lookup tables answer exactly as the literal rules, on every class string, for every byte
// and for every pair that begins with a lead-range byte.
TEST(ClassMembership, EqualsTheLiteralRulesEverywhere) {
  for (const auto& [name, string] : allClassStrings()) {
    const ClassMembership membership(*string);
    for (unsigned byte = 0; byte < 256; ++byte) {
      ASSERT_EQ(membership.containsByte(byte), containsByteLiteral(*string, byte))
          << name << " " << byte;
    }
    for (unsigned lead = 0; lead < 256; ++lead) {
      if (!sjis::isLeadRange(lead)) continue;
      for (unsigned trail = 0; trail < 256; ++trail) {
        ASSERT_EQ(membership.containsPair(lead << 8 | trail),
                  containsPairLiteral(*string, lead, trail))
            << name << " " << lead << " " << trail;
      }
    }
  }
}

TEST(ClassStrings2020, KanjiPerGradeAndJuniorHigh) {
  const ClassStrings s = loadClassStrings(TableSet::Tables2020);
  struct Case {
    const std::string* string;
    std::size_t kanji;
    bool crLfJoined;
  } cases[] = {
      {&s.GradeChars1, 80, false},      {&s.GradeChars2, 160, false}, {&s.GradeChars3, 200, false},
      {&s.GradeChars4, 202, false},     {&s.GradeChars5, 193, false}, {&s.GradeChars6, 191, false},
      {&s.JuniorHighChars, 1110, true},
  };
  for (const Case& c : cases) {
    // Grade strings as bare pairs; the junior-high string with CR LF after each row and after
    // the empty last row.
    const std::size_t bytes = c.crLfJoined ? c.kanji * 4 + 2 : c.kanji * 2;
    EXPECT_EQ(c.string->size(), bytes) << c.kanji;
  }
  EXPECT_EQ(s.GradeChars4.substr(s.GradeChars4.size() - 2), bytesOf("鹿"));
}

TEST(ClassStrings2020, SharedClassStringsAreTheBuiltInOnes) {
  const ClassStrings set1989 = loadClassStrings(TableSet::Tables1989);
  const ClassStrings set2020 = loadClassStrings(TableSet::Tables2020);
  for (auto member :
       {&ClassStrings::HiraganaChars, &ClassStrings::KatakanaChars, &ClassStrings::WideLatinChars,
        &ClassStrings::NarrowLatinChars, &ClassStrings::NarrowKanaChars, &ClassStrings::SymbolChars,
        &ClassStrings::DigitChars}) {
    EXPECT_EQ(set2020.*member, set1989.*member);
  }
  EXPECT_EQ(loadClassStrings().GradeChars4, set1989.GradeChars4) << "1989 stays the default";
  EXPECT_TRUE(set1989.JuniorHighOutsideCodePage.empty());
  const std::vector<char32_t> outside = {U'\U00020B9F', U'\u5861', U'\u525D', U'\u9830'};
  EXPECT_EQ(set2020.JuniorHighOutsideCodePage, outside);  // 𠮟 塡 剝 頰
}

TEST(SourceTables2020, NoRowRepeatsAndStandInsAreJuniorHighRows) {
  EXPECT_TRUE(repeatedRows(GradeRows2020).empty());
  EXPECT_TRUE(repeatedRows(JuniorHighRows2020).empty());
  for (const OfficialFormOutsideCodePage& form : kJuniorHighOutsideCodePage2020) {
    EXPECT_NE(std::find(std::begin(JuniorHighRows2020), std::end(JuniorHighRows2020), form.standIn),
              std::end(JuniorHighRows2020))
        << form.standIn;
  }
}

TEST(ClassMembership, ThePlaceholderPairIsInNoClass) {
  for (const auto& [name, string] : allClassStrings()) {
    EXPECT_FALSE(containsPairLiteral(*string, sjis::kPlaceholderLead, sjis::kPlaceholderTrail))
        << name;
  }
}

TEST(ClassStrings, RowsWithoutAShiftJisFormAreRejected) {
  EXPECT_THROW(rowToSjis("鷗"), std::logic_error);
  EXPECT_THROW(rowToSjis("\xff"), std::logic_error);
  EXPECT_EQ(rowToSjis("1,気"), "1,\x8b\x43");
}

}  // namespace
}  // namespace torvane::tables
