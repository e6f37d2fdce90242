// Readings of numbers with counters, sound changes included: 三本 さんぼん, 10分 じゅっぷん,
// 二十日 はつか, 6月 ろくがつ. The dictionary reads the number and the counter apart.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvane::reading {

// The value of a number written in digits (ASCII or full-width) or in kanji numerals
// (二十四, 三百, 〇). Nothing for anything else, or beyond 99999999.
std::optional<long> numberValue(std::string_view utf8);

// The reading of a number alone: 300 さんびゃく.
std::string numberReading(long value);

// The reading of a number with a counter it knows; `number` is digits, kanji numerals or 何.
// `afterMonth` tells 一日 the first day of a month (ついたち) from a day's length (いちにち).
std::optional<std::string> countedReading(std::string_view number, std::string_view counter,
                                          bool afterMonth = false);

// A counted reading as the number and the counter share it: 一本 いっ + ぽん, 三羽 さん + ば.
// `counter` is empty where the two are read as one word (一人 ひとり, 三日 みっか, 二十日 はつか).
struct CountedParts {
  std::string number;
  std::string counter;
};
std::optional<CountedParts> countedParts(std::string_view number, std::string_view counter,
                                         bool afterMonth = false);

// A number with its counter as the user dictionary holds it: 三本 さんぼん.
struct CountedWord {
  std::string word;
  std::string reading;  // hiragana
  bool operator==(const CountedWord&) const = default;
};

// The counted words the user dictionary is compiled with: every counter above with the numbers
// one to ten (to twelve for months and hours), less those read otherwise in context.
std::vector<CountedWord> dictionaryCountedWords();

}  // namespace torvane::reading
