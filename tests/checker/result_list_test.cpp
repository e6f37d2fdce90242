#include "checker/result_list.h"

#include <gtest/gtest.h>

#include "support/sjis_literals.h"

namespace torvane::checker {
namespace {

using torvane::testing::charOf;

TEST(ResultList, KindsCompareByCaseFoldedUnicode) {
  struct Case {
    const char* name;
    sjis::SjisChar first, second;
    bool sameKind;
  } cases[] = {
      {"A and a", charOf("A"), charOf("a"), true},
      {"Ａ and ａ", charOf("Ａ"), charOf("ａ"), true},
      {"A and Ａ differ in width", charOf("A"), charOf("Ａ"), false},
      {"ア and ｱ differ in width", charOf("ア"), charOf("ｱ"), false},
      {"あ and ア differ in kana type", charOf("あ"), charOf("ア"), false},
      {"Greek capital and small", charOf("Σ"), charOf("σ"), true},
      {"Cyrillic capital and small", charOf("Ж"), charOf("ж"), true},
      {"Ä and ä from outside the code page", sjis::SjisChar::outsideCodePage(U'Ä'),
       sjis::SjisChar::outsideCodePage(U'ä'), true},
      {"two kanji from outside the code page", sjis::SjisChar::outsideCodePage(U'鷗'),
       sjis::SjisChar::outsideCodePage(U'𠮷'), false},
      {"malformed pairs compare by bytes", sjis::SjisChar::pair(0x81, 0x0D),
       sjis::SjisChar::pair(0x81, 0x0D), true},
      {"different malformed pairs", sjis::SjisChar::pair(0x81, 0x0D),
       sjis::SjisChar::pair(0x81, 0x0A), false},
      {"a lone lead byte is not the pair it begins", sjis::SjisChar::single(0x88),
       sjis::SjisChar::pair(0x88, 0x0D), false},
      {"two codes of one character", sjis::SjisChar::pair(0x81, 0xCA),  // ￢ (JIS)
       sjis::SjisChar::pair(0xEE, 0xF9), true},                         // ￢ (NEC-selected IBM)
  };
  for (const Case& c : cases) {
    ResultList list;
    list.appendIfAbsent(c.first);
    list.appendIfAbsent(c.second);
    EXPECT_EQ(list.size(), c.sameKind ? 1u : 2u) << c.name;
    EXPECT_EQ(list.entries().front(), c.first) << c.name << ": the first appearance stays";
  }
}

TEST(ResultList, ClearForgetsTheKinds) {
  ResultList list;
  list.appendIfAbsent(charOf("漢"));
  EXPECT_TRUE(list.contains(charOf("漢")));
  list.clear();
  EXPECT_TRUE(list.empty());
  EXPECT_FALSE(list.contains(charOf("漢")));
  list.appendIfAbsent(charOf("漢"));
  EXPECT_EQ(list.size(), 1u);
}

// The set grows many times over; every key must stay findable and be stored once.
TEST(KeySet, HoldsEveryKeyOnceAcrossGrowth) {
  KeySet set;
  for (std::uint32_t key = 0; key < 200000; key += 3) ASSERT_TRUE(set.insert(key * 7919));
  for (std::uint32_t key = 0; key < 200000; key += 3) ASSERT_FALSE(set.insert(key * 7919));
  for (std::uint32_t key = 1; key < 200000; key += 3) ASSERT_FALSE(set.contains(key * 7919));
  EXPECT_EQ(set.size(), 66667u);
  EXPECT_TRUE(set.insert(0x8002FFFF)) << "the largest key of a character without Unicode form";
}

}  // namespace
}  // namespace torvane::checker
