// The reference for the class lookup: each class string searched by the literal membership rules,
// in the order the rules test them. Tests, the benchmark and the fuzz target hold the product's
// lookup tables against it.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "checker/check_pass_template.h"
#include "checker/classify.h"
#include "tables/class_strings.h"
#include "tables/membership.h"

namespace torvane::testing {

class LiteralClassifier {
 public:
  explicit LiteralClassifier(const tables::ClassStrings& strings) : strings_(strings) {}

  checker::CharClass classOf(const sjis::SjisChar& c) const {
    using checker::CharClass;
    const tables::ClassStrings& s = strings_;
    if (c.length() == 2) {
      const std::array<std::pair<CharClass, const std::string*>, 11> order = {{
          {CharClass::Hiragana, &s.HiraganaChars},
          {CharClass::Katakana, &s.KatakanaChars},
          {CharClass::WideLatin, &s.WideLatinChars},
          {CharClass::JuniorHigh, &s.JuniorHighChars},
          {CharClass::Grade1, &s.GradeChars1},
          {CharClass::Grade2, &s.GradeChars2},
          {CharClass::Grade3, &s.GradeChars3},
          {CharClass::Grade4, &s.GradeChars4},
          {CharClass::Grade5, &s.GradeChars5},
          {CharClass::Grade6, &s.GradeChars6},
          {CharClass::Symbol, &s.SymbolChars},
      }};
      const auto lead = static_cast<std::uint8_t>(c.code() >> 8);
      const auto trail = static_cast<std::uint8_t>(c.code() & 0xFF);
      for (const auto& [cls, classString] : order) {
        if (tables::containsPairLiteral(*classString, lead, trail)) return cls;
        // An official form outside the code page counts where its stand-in does.
        if (cls == CharClass::JuniorHigh && c.foreign() != 0 &&
            std::ranges::find(s.JuniorHighOutsideCodePage, c.foreign()) !=
                s.JuniorHighOutsideCodePage.end()) {
          return cls;
        }
      }
      return CharClass::Unlisted;
    }
    const auto byte = static_cast<std::uint8_t>(c.code());
    // A lone lead-range byte reaches the rules only as an incomplete character.
    if (sjis::isLeadRange(byte)) return CharClass::Incomplete;
    const std::array<std::pair<CharClass, const std::string*>, 3> order = {{
        {CharClass::Digit, &s.DigitChars},
        {CharClass::NarrowLatin, &s.NarrowLatinChars},
        {CharClass::NarrowKana, &s.NarrowKanaChars},
    }};
    for (const auto& [cls, classString] : order) {
      if (tables::containsByteLiteral(*classString, byte)) return cls;
    }
    return CharClass::OtherByte;
  }
  checker::Verdict classify(const sjis::SjisChar& c, int level) const {
    return checker::verdictFor(classOf(c), level);
  }

 private:
  const tables::ClassStrings& strings_;
};

// The check pass with the literal searches, for comparison with the lookup tables.
inline checker::CheckEnd runCheck(checker::CheckView& view, const LiteralClassifier& classifier,
                                  checker::ResultLists& lists) {
  return checker::runCheckWith(view, classifier, lists);
}

}  // namespace torvane::testing
