// The rules that give a character its outcome at a level, and the result list it is collected in.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "checker/stage.h"
#include "sjis/byte_type.h"
#include "sjis/sjis_text.h"
#include "tables/class_strings.h"

namespace torvane::checker {

enum class Outcome : std::uint8_t {
  None,  // colour untouched, nothing recorded
  Grey,  // a tolerated non-kanji
  Red,   // a problem
};

struct Verdict {
  Outcome outcome = Outcome::None;
  std::optional<Stage> stage = std::nullopt;  // the result list that collects it, if any
  constexpr bool operator==(const Verdict&) const = default;
};

// The first class string a character is a member of, in the order the rules test them.
enum class CharClass : std::uint8_t {
  // Two-byte characters.
  Hiragana,
  Katakana,
  WideLatin,
  JuniorHigh,
  Grade1,
  Grade2,
  Grade3,
  Grade4,
  Grade5,
  Grade6,
  Symbol,
  Unlisted,
  // One-byte characters.
  Digit,
  NarrowLatin,
  NarrowKana,
  OtherByte,
  // A lead byte with no trail byte after it.
  Incomplete,
  // What the class has learnt: a known kanji, or a character of an allowed word. No problem at any
  // level and never coloured, like a kanji of an earlier stage, but still collected in the list of
  // its own stage.
  LearntGrade1,
  LearntGrade2,
  LearntGrade3,
  LearntGrade4,
  LearntGrade5,
  LearntGrade6,
  LearntJuniorHigh,
  LearntBeyond,
  Learnt,  // a character of an allowed word that no list collects (kana, a letter, a symbol)
};
inline constexpr std::size_t kClassCount = static_cast<std::size_t>(CharClass::Learnt) + 1;

// The class a character of an allowed word takes: the learnt class of its stage, or Learnt.
constexpr CharClass learnt(CharClass cls) {
  switch (cls) {
    case CharClass::Grade1: return CharClass::LearntGrade1;
    case CharClass::Grade2: return CharClass::LearntGrade2;
    case CharClass::Grade3: return CharClass::LearntGrade3;
    case CharClass::Grade4: return CharClass::LearntGrade4;
    case CharClass::Grade5: return CharClass::LearntGrade5;
    case CharClass::Grade6: return CharClass::LearntGrade6;
    case CharClass::JuniorHigh: return CharClass::LearntJuniorHigh;
    case CharClass::Unlisted:
    case CharClass::Incomplete: return CharClass::LearntBeyond;
    case CharClass::LearntGrade1:
    case CharClass::LearntGrade2:
    case CharClass::LearntGrade3:
    case CharClass::LearntGrade4:
    case CharClass::LearntGrade5:
    case CharClass::LearntGrade6:
    case CharClass::LearntJuniorHigh:
    case CharClass::LearntBeyond: return cls;
    default: return CharClass::Learnt;
  }
}

// The class a known kanji takes: only a kanji (a class with a stage) can be known; anything else
// keeps its class.
constexpr CharClass known(CharClass cls) {
  const CharClass taken = learnt(cls);
  return taken == CharClass::Learnt ? cls : taken;
}

// The rules as tables: every comparison with the level is signed, so level -1 is stricter than 0.
constexpr Verdict verdictFor(CharClass cls, int level) {
  auto redIf = [](bool red) { return red ? Outcome::Red : Outcome::None; };
  auto greyUnless = [](bool red) { return red ? Outcome::Red : Outcome::Grey; };
  switch (cls) {
    case CharClass::Hiragana: return {};
    case CharClass::Katakana: return {greyUnless(level < 0)};
    case CharClass::WideLatin: return {greyUnless(level <= 2)};
    case CharClass::JuniorHigh: return {redIf(level < 6), Stage::JuniorHigh};
    case CharClass::Grade1: return {redIf(level < 0), Stage::Grade1};
    case CharClass::Grade2: return {redIf(level < 1), Stage::Grade2};
    case CharClass::Grade3: return {redIf(level < 2), Stage::Grade3};
    case CharClass::Grade4: return {redIf(level < 3), Stage::Grade4};
    case CharClass::Grade5: return {redIf(level < 4), Stage::Grade5};
    case CharClass::Grade6: return {redIf(level < 5), Stage::Grade6};
    case CharClass::Symbol: return {Outcome::Grey};
    case CharClass::Unlisted: return {Outcome::Red, Stage::Beyond};
    case CharClass::Digit: return {};
    case CharClass::NarrowLatin: return {greyUnless(level <= 2)};
    case CharClass::NarrowKana: return {greyUnless(level < 0)};
    case CharClass::OtherByte: return {};
    case CharClass::Incomplete: return {Outcome::Red, Stage::Beyond};
    case CharClass::LearntGrade1: return {Outcome::None, Stage::Grade1};
    case CharClass::LearntGrade2: return {Outcome::None, Stage::Grade2};
    case CharClass::LearntGrade3: return {Outcome::None, Stage::Grade3};
    case CharClass::LearntGrade4: return {Outcome::None, Stage::Grade4};
    case CharClass::LearntGrade5: return {Outcome::None, Stage::Grade5};
    case CharClass::LearntGrade6: return {Outcome::None, Stage::Grade6};
    case CharClass::LearntJuniorHigh: return {Outcome::None, Stage::JuniorHigh};
    case CharClass::LearntBeyond: return {Outcome::None, Stage::Beyond};
    case CharClass::Learnt: return {};
  }
  return {};
}

// The rules for every level worked out in advance, so the pass looks a verdict up instead of
// branching on the class. A level outside -1..6 compares like the nearest end of that range.
inline constexpr auto kVerdicts = [] {
  std::array<std::array<Verdict, kClassCount>, 8> table{};
  for (int level = -1; level <= 6; ++level) {
    for (std::size_t cls = 0; cls < kClassCount; ++cls) {
      table[level + 1][cls] = verdictFor(static_cast<CharClass>(cls), level);
    }
  }
  return table;
}();

constexpr Verdict verdictAt(CharClass cls, int level) {
  const int row = level < -1 ? 0 : level > 6 ? 7 : level + 1;
  return kVerdicts[row][static_cast<std::size_t>(cls)];
}

// Class lookup through tables built from the class strings: O(1) per character.
class Classifier {
 public:
  explicit Classifier(const tables::ClassStrings& strings);

  // The same rules with the kanji of `kanji` known: each takes the learnt class of its stage. A
  // character that is no kanji of the tables (kana, a symbol) keeps its class.
  Classifier withKnown(std::span<const char32_t> kanji) const;
  CharClass classOf(const sjis::SjisChar& c) const {
    const std::uint16_t code = c.code();
    if (c.length() != 2) return byteClass_[code & 0xFF];
    if (c.foreign() != 0) [[unlikely]] {
      return foreignClassOf(c.foreign());  // only an official form outside the code page has one
    }
    return pairClass_[sjis::kLeadRows[code >> 8] << 8 | (code & 0xFF)];
  }
  Verdict classify(const sjis::SjisChar& c, int level) const {
    return verdictAt(classOf(c), level);
  }
  // The stage a character is collected at: the same at every level, which decides only colours.
  std::optional<Stage> stageOf(const sjis::SjisChar& c) const { return classify(c, 0).stage; }
  // The junior-high kanji that reach the check as characters outside the code page.
  const std::vector<char32_t>& juniorHighOutsideCodePage() const {
    return juniorHighOutsideCodePage_;
  }

 private:
  CharClass foreignClassOf(char32_t character) const;

  // Pairs are only asked about with a lead-range first byte, so the table has a row of 256 trail
  // bytes for each of the 60 lead bytes, 15 KB that stay in the first-level cache.
  std::array<CharClass, (sjis::kLeadRowCount + 1) * 0x100> pairClass_;  // last row: Unlisted
  std::array<CharClass, 0x100> byteClass_;
  std::vector<char32_t> juniorHighOutsideCodePage_;  // a handful at most: a scan is enough
  std::vector<char32_t> knownOutsideCodePage_;       // sorted
};

}  // namespace torvane::checker
