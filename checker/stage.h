// The stage at which a kanji is taught, as the report and the table comparison name it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "checker/found_list.h"

namespace torvane::checker {

enum class Stage : std::uint8_t {
  Grade1,
  Grade2,
  Grade3,
  Grade4,
  Grade5,
  Grade6,
  JuniorHigh,
  Beyond,
};

// The stage of a character collected in `list`; none for a character that is collected nowhere.
constexpr std::optional<Stage> stageOf(FoundList list) {
  if (list == FoundList::None) return std::nullopt;
  return static_cast<Stage>(static_cast<int>(list) - static_cast<int>(FoundList::Grade1));
}

// "grade1" … "grade6", "junior_high", "beyond": the keys of torvane-check's JSON output.
constexpr std::string_view stageKey(Stage stage) {
  constexpr std::array<std::string_view, 8> kKeys = {"grade1", "grade2", "grade3",      "grade4",
                                                     "grade5", "grade6", "junior_high", "beyond"};
  return kKeys[static_cast<std::size_t>(stage)];
}

// The words of the stage's report header, without its dashes (UTF-8).
constexpr std::string_view stageWords(Stage stage) {
  constexpr std::array<std::string_view, 8> kWords = {
      "小学一年で習う漢字",   "小学二年で習う漢字",      "小学三年で習う漢字",
      "小学四年で習う漢字",   "小学五年で習う漢字",      "小学六年で習う漢字",
      "中学三年間で習う漢字", "中学までに習わない(漢)字"};
  return kWords[static_cast<std::size_t>(stage)];
}

static_assert(stageOf(FoundList::Grade1) == Stage::Grade1);
static_assert(stageOf(FoundList::JuniorHigh) == Stage::JuniorHigh);
static_assert(stageOf(FoundList::Beyond) == Stage::Beyond);

}  // namespace torvane::checker
