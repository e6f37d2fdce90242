// The school levels a text is checked against.
#pragma once

#include <array>
#include <string_view>

namespace torvane::checker {

// The entries of the level drop-down; a level index is a position in this list.
inline constexpr std::array<std::string_view, 7> kLevelEntries = {
    "一年生で習う漢字で",      // 0: grade 1 kanji allowed
    "二年生までに習う漢字で",  // 1: grades 1 to 2
    "三年生までに習う漢字で",  // 2: grades 1 to 3
    "四年生までに習う漢字で",  // 3: grades 1 to 4
    "五年生までに習う漢字で",  // 4: grades 1 to 5
    "六年生までに習う漢字で",  // 5: grades 1 to 6
    "中学までに習う漢字で",    // 6: all grade and junior-high kanji
};

// The level index of typed text that is none of the entries. The rules compare it like any other
// level, so it is stricter than the first level.
inline constexpr int kNoLevel = -1;
inline constexpr int kLastLevel = static_cast<int>(kLevelEntries.size()) - 1;

// The index of the entry equal to `text` (UTF-8), or kNoLevel.
constexpr int levelIndexOf(std::string_view text) {
  for (std::size_t i = 0; i < kLevelEntries.size(); ++i) {
    if (kLevelEntries[i] == text) return static_cast<int>(i);
  }
  return kNoLevel;
}

}  // namespace torvane::checker
