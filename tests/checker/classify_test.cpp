#include "checker/classify.h"

#include <gtest/gtest.h>

#include "checker/levels.h"
#include "support/literal_classifier.h"
#include "support/sjis_literals.h"

namespace torvane::checker {
namespace {

using torvane::testing::charOf;
using torvane::testing::LiteralClassifier;

const tables::ClassStrings& strings() {
  static const tables::ClassStrings loaded = tables::loadClassStrings();
  return loaded;
}

const Classifier& classifier() {
  static const Classifier built(strings());
  return built;
}

constexpr Outcome N = Outcome::None;
constexpr Outcome G = Outcome::Grey;
constexpr Outcome R = Outcome::Red;

// One character of each class with its outcome at level indexes -1, 0, 1, ..., 6.
struct Row {
  const char* utf8;
  CharClass cls;
  std::array<Outcome, 8> outcomes;
  std::optional<Stage> stage;
};

const Row kRows[] = {
    {"の", CharClass::Hiragana, {N, N, N, N, N, N, N, N}, std::nullopt},
    {"１", CharClass::Hiragana, {N, N, N, N, N, N, N, N}, std::nullopt},
    {"⑳", CharClass::Hiragana, {N, N, N, N, N, N, N, N}, std::nullopt},
    {"～", CharClass::Hiragana, {N, N, N, N, N, N, N, N}, std::nullopt},
    {"ア", CharClass::Katakana, {R, G, G, G, G, G, G, G}, std::nullopt},
    {"ー", CharClass::Katakana, {R, G, G, G, G, G, G, G}, std::nullopt},
    {"Ａ", CharClass::WideLatin, {R, R, R, R, G, G, G, G}, std::nullopt},
    {"亜", CharClass::JuniorHigh, {R, R, R, R, R, R, R, N}, Stage::JuniorHigh},
    {"学", CharClass::Grade1, {R, N, N, N, N, N, N, N}, Stage::Grade1},
    {"名", CharClass::Grade1, {R, N, N, N, N, N, N, N}, Stage::Grade1},
    {"春", CharClass::Grade2, {R, R, N, N, N, N, N, N}, Stage::Grade2},
    {"漢", CharClass::Grade3, {R, R, R, N, N, N, N, N}, Stage::Grade3},
    {"愛", CharClass::Grade4, {R, R, R, R, N, N, N, N}, Stage::Grade4},
    {"圧", CharClass::Grade5, {R, R, R, R, R, N, N, N}, Stage::Grade5},
    {"論", CharClass::Grade6, {R, R, R, R, R, R, N, N}, Stage::Grade6},
    {"α", CharClass::Symbol, {G, G, G, G, G, G, G, G}, std::nullopt},
    {"々", CharClass::Symbol, {G, G, G, G, G, G, G, G}, std::nullopt},
    {"ⅰ", CharClass::Symbol, {G, G, G, G, G, G, G, G}, std::nullopt},
    {"鬱", CharClass::Unlisted, {R, R, R, R, R, R, R, R}, Stage::Beyond},
    {"1", CharClass::Digit, {N, N, N, N, N, N, N, N}, std::nullopt},
    {"(", CharClass::Digit, {N, N, N, N, N, N, N, N}, std::nullopt},
    {"\r", CharClass::Digit, {N, N, N, N, N, N, N, N}, std::nullopt},
    {"a", CharClass::NarrowLatin, {R, R, R, R, G, G, G, G}, std::nullopt},
    {"ｱ", CharClass::NarrowKana, {R, G, G, G, G, G, G, G}, std::nullopt},
    {"!", CharClass::NarrowKana, {R, G, G, G, G, G, G, G}, std::nullopt},
    {"｡", CharClass::OtherByte, {N, N, N, N, N, N, N, N}, std::nullopt},
    {"\t", CharClass::OtherByte, {N, N, N, N, N, N, N, N}, std::nullopt},
};

TEST(Classify, EachClassAtEveryLevel) {
  for (const Row& row : kRows) {
    const sjis::SjisChar c = charOf(row.utf8);
    EXPECT_EQ(classifier().classOf(c), row.cls) << row.utf8;
    for (int level = kNoLevel; level <= kLastLevel; ++level) {
      const Verdict verdict = classifier().classify(c, level);
      EXPECT_EQ(verdict.outcome, row.outcomes[level + 1]) << row.utf8 << " at level " << level;
      EXPECT_EQ(verdict.stage, row.stage) << row.utf8 << " at level " << level;
    }
  }
}

TEST(Classify, CharactersWithoutAPlaceInTheTables) {
  // A character from outside the code page, a malformed pair, and a lone lead byte.
  const sjis::SjisChar cases[] = {sjis::SjisChar::outsideCodePage(U'鷗'),
                                  sjis::SjisChar::pair(0x81, 0x0D), sjis::SjisChar::single(0x88)};
  for (const sjis::SjisChar& c : cases) {
    for (int level = kNoLevel; level <= kLastLevel; ++level) {
      EXPECT_EQ(classifier().classify(c, level), (Verdict{Outcome::Red, Stage::Beyond}))
          << std::hex << c.code() << " at " << level;
    }
  }
}

const tables::ClassStrings& strings2020() {
  static const tables::ClassStrings loaded = tables::loadClassStrings(tables::TableSet::Tables2020);
  return loaded;
}

const Classifier& classifier2020() {
  static const Classifier built(strings2020());
  return built;
}

// What the 2020 tables change, at every level; everything else classifies as in kRows.
const Row kRows2020[] = {
    {"岡", CharClass::Grade4, {R, R, R, R, N, N, N, N}, Stage::Grade4},
    {"城", CharClass::Grade4, {R, R, R, R, N, N, N, N}, Stage::Grade4},
    {"井", CharClass::Grade4, {R, R, R, R, N, N, N, N}, Stage::Grade4},
    {"囲", CharClass::Grade5, {R, R, R, R, R, N, N, N}, Stage::Grade5},
    {"恩", CharClass::Grade6, {R, R, R, R, R, R, N, N}, Stage::Grade6},
    {"誰", CharClass::JuniorHigh, {R, R, R, R, R, R, R, N}, Stage::JuniorHigh},
    {"鬱", CharClass::JuniorHigh, {R, R, R, R, R, R, R, N}, Stage::JuniorHigh},
    {"叱", CharClass::JuniorHigh, {R, R, R, R, R, R, R, N}, Stage::JuniorHigh},
    {"勺", CharClass::Unlisted, {R, R, R, R, R, R, R, R}, Stage::Beyond},
    {"名", CharClass::Grade1, {R, N, N, N, N, N, N, N}, Stage::Grade1},
    {"学", CharClass::Grade1, {R, N, N, N, N, N, N, N}, Stage::Grade1},
    {"ア", CharClass::Katakana, {R, G, G, G, G, G, G, G}, std::nullopt},
    {"a", CharClass::NarrowLatin, {R, R, R, R, G, G, G, G}, std::nullopt},
};

TEST(Classify2020, ChangedKanjiAtEveryLevel) {
  for (const Row& row : kRows2020) {
    const sjis::SjisChar c = charOf(row.utf8);
    EXPECT_EQ(classifier2020().classOf(c), row.cls) << row.utf8;
    for (int level = kNoLevel; level <= kLastLevel; ++level) {
      const Verdict verdict = classifier2020().classify(c, level);
      EXPECT_EQ(verdict.outcome, row.outcomes[level + 1]) << row.utf8 << " at level " << level;
      EXPECT_EQ(verdict.stage, row.stage) << row.utf8 << " at level " << level;
    }
  }
}

// The four official forms the code page lacks are junior-high kanji with the 2020 tables and
// characters beyond junior high with the built-in ones; other characters outside the code page
// stay beyond junior high with both.
TEST(Classify2020, OfficialFormsOutsideTheCodePage) {
  const char32_t official[] = {U'\U00020B9F', U'\u5861', U'\u525D', U'\u9830'};  // 𠮟塡剝頰
  for (char32_t character : official) {
    const auto c = sjis::SjisChar::outsideCodePage(character);
    EXPECT_EQ(classifier2020().classOf(c), CharClass::JuniorHigh)
        << std::hex << static_cast<std::uint32_t>(c.foreign());
    EXPECT_EQ(classifier2020().classify(c, 5), (Verdict{Outcome::Red, Stage::JuniorHigh}));
    EXPECT_EQ(classifier2020().classify(c, 6), (Verdict{Outcome::None, Stage::JuniorHigh}));
    EXPECT_EQ(classifier().classOf(c), CharClass::Unlisted);
  }
  for (char32_t character : {U'鷗', U'\U00020B9E', U'\U00020BA0', U'\u5862', U'\U0001F600'}) {
    EXPECT_EQ(classifier2020().classOf(sjis::SjisChar::outsideCodePage(character)),
              CharClass::Unlisted);
  }
  // The placeholder pair without a character behind it (raw code page input) is in no table.
  EXPECT_EQ(classifier2020().classOf(sjis::SjisChar::pair(0x81, 0x7F)), CharClass::Unlisted);
}

// The lookup tables give every character the class the literal searches give it, so the two
// passes agree for every level, with either set of tables.
TEST(Classify, LookupEqualsTheLiteralSearchForEveryCharacter) {
  const std::pair<const tables::ClassStrings*, const Classifier*> sets[] = {
      {&strings(), &classifier()}, {&strings2020(), &classifier2020()}};
  for (const auto& [classStrings, lookup] : sets) {
    const LiteralClassifier literal(*classStrings);
    for (unsigned byte = 0; byte < 256; ++byte) {
      const auto c = sjis::SjisChar::single(byte);
      ASSERT_EQ(lookup->classOf(c), literal.classOf(c)) << byte;
    }
    for (unsigned lead = 0; lead < 256; ++lead) {
      if (!sjis::isLeadRange(lead)) continue;
      for (unsigned trail = 0; trail < 256; ++trail) {
        const auto c = sjis::SjisChar::pair(lead, trail);
        ASSERT_EQ(lookup->classOf(c), literal.classOf(c)) << lead << " " << trail;
      }
    }
    // Characters outside the code page around each official form, and a few others.
    std::vector<char32_t> foreign = {U'鷗', U'\U0001F600', U'é'};
    for (char32_t official : strings2020().JuniorHighOutsideCodePage) {
      for (char32_t near = official - 2; near <= official + 2; ++near) foreign.push_back(near);
    }
    for (char32_t character : foreign) {
      const auto c = sjis::SjisChar::outsideCodePage(character);
      ASSERT_EQ(lookup->classOf(c), literal.classOf(c))
          << std::hex << static_cast<std::uint32_t>(c.foreign());
    }
  }
}

TEST(Levels, IndexOfTypedText) {
  EXPECT_EQ(levelIndexOf("一年生で習う漢字で"), 0);
  EXPECT_EQ(levelIndexOf("中学までに習う漢字で"), 6);
  EXPECT_EQ(levelIndexOf("三年生までに習う漢字で"), 2);
  EXPECT_EQ(levelIndexOf("三年生まで"), kNoLevel) << "a prefix is no entry";
  EXPECT_EQ(levelIndexOf(""), kNoLevel);
  EXPECT_EQ(levelIndexOf("一年生で習う漢字で "), kNoLevel);
}

}  // namespace
}  // namespace torvane::checker
