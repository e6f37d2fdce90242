#include "checker/classify.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "sjis/byte_type.h"
#include "sjis/codec.h"
#include "tables/membership.h"

namespace torvane::checker {
namespace {

using ClassAndString = std::pair<CharClass, const std::string*>;

std::array<ClassAndString, 11> twoByteOrder(const tables::ClassStrings& s) {
  return {{
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
}

std::array<ClassAndString, 3> oneByteOrder(const tables::ClassStrings& s) {
  return {{
      {CharClass::Digit, &s.DigitChars},
      {CharClass::NarrowLatin, &s.NarrowLatinChars},
      {CharClass::NarrowKana, &s.NarrowKanaChars},
  }};
}

// A lone lead-range byte reaches the rules only as an incomplete character.
bool isIncomplete(std::uint8_t byte) {
  return sjis::isLeadRange(byte);
}

// A character outside the code page is in no class string, so only the list of junior-high kanji
// outside the code page can place it.
CharClass classOfForeign(char32_t character, const std::vector<char32_t>& juniorHigh) {
  for (char32_t listed : juniorHigh) {
    if (listed == character) return CharClass::JuniorHigh;
  }
  return CharClass::Unlisted;
}

}  // namespace

Classifier::Classifier(const tables::ClassStrings& strings)
    : juniorHighOutsideCodePage_(strings.JuniorHighOutsideCodePage) {
  pairClass_.fill(CharClass::Unlisted);
  byteClass_.fill(CharClass::OtherByte);
  // Filled from the last class to the first, so the first class that holds a character wins.
  const auto twoByte = twoByteOrder(strings);
  for (auto it = twoByte.rbegin(); it != twoByte.rend(); ++it) {
    const tables::ClassMembership membership(*it->second);
    for (std::size_t lead = 0; lead < sjis::kLeadRows.size(); ++lead) {
      if (sjis::kLeadRows[lead] == sjis::kLeadRowCount) continue;
      for (std::size_t trail = 0; trail < 0x100; ++trail) {
        if (membership.containsPair(static_cast<std::uint16_t>(lead << 8 | trail))) {
          pairClass_[sjis::kLeadRows[lead] << 8 | trail] = it->first;
        }
      }
    }
  }
  const auto oneByte = oneByteOrder(strings);
  for (auto it = oneByte.rbegin(); it != oneByte.rend(); ++it) {
    const tables::ClassMembership membership(*it->second);
    for (std::size_t byte = 0; byte < byteClass_.size(); ++byte) {
      if (membership.containsByte(static_cast<std::uint8_t>(byte))) byteClass_[byte] = it->first;
    }
  }
  for (std::size_t byte = 0; byte < byteClass_.size(); ++byte) {
    if (isIncomplete(static_cast<std::uint8_t>(byte))) byteClass_[byte] = CharClass::Incomplete;
  }
}

CharClass Classifier::foreignClassOf(char32_t character) const {
  const CharClass cls = classOfForeign(character, juniorHighOutsideCodePage_);
  if (!knownOutsideCodePage_.empty() &&
      std::binary_search(knownOutsideCodePage_.begin(), knownOutsideCodePage_.end(), character)) {
    return known(cls);
  }
  return cls;
}

Classifier Classifier::withKnown(std::span<const char32_t> kanji) const {
  Classifier taught = *this;
  const sjis::Cp932& codePage = sjis::Cp932::get();
  for (char32_t character : kanji) {
    const std::optional<sjis::SjisChar> c = codePage.encode(character);
    if (!c || c->length() != 2) {
      taught.knownOutsideCodePage_.push_back(sjis::placeholderFor(character));
      continue;
    }
    const std::uint16_t code = c->code();
    CharClass& cls = taught.pairClass_[sjis::kLeadRows[code >> 8] << 8 | (code & 0xFF)];
    cls = known(cls);
  }
  std::ranges::sort(taught.knownOutsideCodePage_);
  return taught;
}

}  // namespace torvane::checker
