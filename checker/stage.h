// The stage at which a kanji is taught: the result list that collects it, the section of the
// report that lists it, and the key torvane-check's JSON output gives it.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace torvane::checker {

// In the order of the school years, so a later stage compares greater.
enum class Stage : std::uint8_t {
  Grade1,
  Grade2,
  Grade3,
  Grade4,
  Grade5,
  Grade6,
  JuniorHigh,
  Beyond,  // two-byte characters that stand in no class string
};
inline constexpr std::size_t kStageCount = static_cast<std::size_t>(Stage::Beyond) + 1;

// "grade1" … "grade6", "junior_high", "beyond": the keys of torvane-check's JSON output.
constexpr std::string_view stageKey(Stage stage) {
  constexpr std::array<std::string_view, kStageCount> kKeys = {
      "grade1", "grade2", "grade3", "grade4", "grade5", "grade6", "junior_high", "beyond"};
  return kKeys[static_cast<std::size_t>(stage)];
}

// The words of the stage's report header, without its dashes (UTF-8).
constexpr std::string_view stageWords(Stage stage) {
  constexpr std::array<std::string_view, kStageCount> kWords = {
      "小学一年で習う漢字",   "小学二年で習う漢字",      "小学三年で習う漢字",
      "小学四年で習う漢字",   "小学五年で習う漢字",      "小学六年で習う漢字",
      "中学三年間で習う漢字", "中学までに習わない(漢)字"};
  return kWords[static_cast<std::size_t>(stage)];
}

}  // namespace torvane::checker
