#include "checker/result_list.h"

#include <unicode/uchar.h>

#include <stdexcept>

#include "sjis/codec.h"

namespace torvane::checker {
namespace {

// Unicode code points stay below this; keys of characters without a Unicode form lie above it.
constexpr std::uint32_t kByteKeyBase = 0x80000000;

std::uint32_t keyOf(const sjis::Cp932& codePage, const sjis::SjisChar& c) {
  const char32_t unicode = codePage.decode(c);
  if (unicode == sjis::kReplacementChar) {
    return kByteKeyBase | static_cast<std::uint32_t>(c.length) << 16 | c.code;
  }
  return static_cast<std::uint32_t>(u_foldCase(static_cast<UChar32>(unicode), U_FOLD_CASE_DEFAULT));
}

// Keys of every code page character, worked out once.
struct KeyTable {
  std::vector<std::uint32_t> pairs = std::vector<std::uint32_t>(0x10000);
  std::vector<std::uint32_t> singles = std::vector<std::uint32_t>(0x100);
  KeyTable() {
    const sjis::Cp932& codePage = sjis::Cp932::get();
    for (std::uint32_t code = 0; code < 0x10000; ++code) {
      pairs[code] = keyOf(codePage, sjis::SjisChar::pair(code >> 8, code & 0xFF));
    }
    for (std::uint32_t byte = 0; byte < 0x100; ++byte) {
      singles[byte] = keyOf(codePage, sjis::SjisChar::single(static_cast<std::uint8_t>(byte)));
    }
  }
};

}  // namespace

std::uint32_t uniquenessKey(const sjis::SjisChar& c) {
  static const KeyTable table;
  if (c.foreign != 0) return keyOf(sjis::Cp932::get(), c);
  return c.length == 2 ? table.pairs[c.code] : table.singles[c.code & 0xFF];
}

ResultList& ResultLists::found(FoundList list) {
  switch (list) {
    case FoundList::Grade1: return FoundGrade1;
    case FoundList::Grade2: return FoundGrade2;
    case FoundList::Grade3: return FoundGrade3;
    case FoundList::Grade4: return FoundGrade4;
    case FoundList::Grade5: return FoundGrade5;
    case FoundList::Grade6: return FoundGrade6;
    case FoundList::JuniorHigh: return FoundJuniorHigh;
    case FoundList::Beyond: return FoundBeyond;
    case FoundList::None: break;
  }
  throw std::logic_error("no result list for FoundList::None");
}

const ResultList& ResultLists::found(FoundList list) const {
  return const_cast<ResultLists*>(this)->found(list);
}

void ResultLists::clear() {
  for (ResultList* list : {&FoundGrade1, &FoundGrade2, &FoundGrade3, &FoundGrade4, &FoundGrade5,
                           &FoundGrade6, &FoundJuniorHigh, &FoundBeyond, &ProblemOccurrences,
                           &ProblemKinds}) {
    list->clear();
  }
}

}  // namespace torvane::checker
