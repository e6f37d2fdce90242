#include "checker/result_list.h"

#include <unicode/uchar.h>

#include "sjis/byte_type.h"
#include "sjis/codec.h"

namespace torvane::checker {
namespace {

// Unicode code points stay below this; keys of characters without a Unicode form lie above it.
constexpr std::uint32_t kByteKeyBase = 0x80000000;

std::uint32_t foldedKey(char32_t unicode) {
  return static_cast<std::uint32_t>(u_foldCase(static_cast<UChar32>(unicode), U_FOLD_CASE_DEFAULT));
}

std::uint32_t keyOf(const sjis::Cp932& codePage, const sjis::SjisChar& c) {
  const char32_t unicode = codePage.decode(c);
  if (unicode == sjis::kReplacementChar) {
    return kByteKeyBase | static_cast<std::uint32_t>(c.length()) << 16 | c.code();
  }
  return foldedKey(unicode);
}

}  // namespace

const UniquenessKeys& UniquenessKeys::get() {
  static const UniquenessKeys keys;
  return keys;
}

UniquenessKeys::UniquenessKeys() {
  const sjis::Cp932& codePage = sjis::Cp932::get();
  pairs_.resize(sjis::kLeadRowCount << 8);
  for (std::uint32_t lead = 0; lead < 0x100; ++lead) {
    const std::size_t row = sjis::kLeadRows[lead];
    if (row == sjis::kLeadRowCount) continue;
    for (std::uint32_t trail = 0; trail < 0x100; ++trail) {
      pairs_[row << 8 | trail] = keyOf(codePage, sjis::SjisChar::pair(lead, trail));
    }
  }
  for (std::uint32_t byte = 0; byte < 0x100; ++byte) {
    singles_[byte] = keyOf(codePage, sjis::SjisChar::single(static_cast<std::uint8_t>(byte)));
  }
}

std::uint32_t UniquenessKeys::foreignKey(char32_t character) {
  return foldedKey(character);
}

std::uint32_t UniquenessKeys::byteKey(const sjis::SjisChar& c) {
  return keyOf(sjis::Cp932::get(), c);
}

ResultList& ResultLists::found(Stage stage) {
  switch (stage) {
    case Stage::Grade1: return FoundGrade1;
    case Stage::Grade2: return FoundGrade2;
    case Stage::Grade3: return FoundGrade3;
    case Stage::Grade4: return FoundGrade4;
    case Stage::Grade5: return FoundGrade5;
    case Stage::Grade6: return FoundGrade6;
    case Stage::JuniorHigh: return FoundJuniorHigh;
    case Stage::Beyond: break;
  }
  return FoundBeyond;
}

const ResultList& ResultLists::found(Stage stage) const {
  return const_cast<ResultLists*>(this)->found(stage);
}

void ResultLists::clear() {
  for (ResultList* list : {&FoundGrade1, &FoundGrade2, &FoundGrade3, &FoundGrade4, &FoundGrade5,
                           &FoundGrade6, &FoundJuniorHigh, &FoundBeyond}) {
    list->clear();
  }
  ProblemOccurrences.clear();
  ProblemKinds.clear();
}

}  // namespace torvane::checker
