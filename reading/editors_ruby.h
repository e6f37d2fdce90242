// How editors gave ruby, counted over the books of Aozora Bunko (reading/editors_ruby/): where
// the dictionary's reading is the common one of today, theirs is often the one the prose of
// children's books of the time means (生命 いのち, 周囲 まわり).
#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace torvane::reading {

// The reading editors gave the kanji `kanji` (as the dictionary spells them: 行灯 for 行燈)
// before the okurigana `okurigana` in hiragana (怒 before って: おこ; only its first kana tells)
// or before none, where the dictionary reads them `current`: when enough authors' works gave
// it so (at least `fewestAuthors`, if more), mostly so, and far more often than `current`.
// Empty otherwise.
std::string_view editorsReadingOf(std::string_view kanji, std::string_view okurigana,
                                  std::string_view current, int fewestAuthors = 0);

// The readings editors often gave the kanji `kanji` before the okurigana `okurigana` (or none),
// most often first: those a teacher of older prose may want to choose from (往来: ゆきき,
// おうらい). Each was given by at least three authors and a tenth of those who gave any.
std::vector<std::string_view> editorsChoicesOf(std::string_view kanji, std::string_view okurigana);

// The reading editors gave the kanji `kanji` most often before okurigana starting as
// `okurigana` does (慄 before えながら: ふる) or before none (諸葛瑾: しょかつきん), by however
// few authors the table holds: for kanji the dictionary cannot read there at all, any editor's
// reading is better than none. Where they
// gave none before that kana but read the kanji ending in it (呟 before い: つぶや), the text
// spells that kana out (呟やき): their reading less it, つぶ. Empty when they gave it none.
std::string_view editorsOkuriganaReadingOf(std::string_view kanji, std::string_view okurigana);

// The kana the table counts as okurigana when `following` comes straight after a base: its first
// character where that is hiragana and no particle (the って of 怒って, the し of 莞爾して; not
// the と of 莞爾として), else empty.
std::string_view okuriganaKanaOf(std::string_view following);

// How editors gave one base: before okurigana starting with `next` (* for none), `reading`, in
// the works of `authors` authors.
struct EditorsRuby {
  std::string_view next;
  std::string_view reading;
  int authors = 0;
};

// The choice editorsReadingOf makes from a base's rows.
std::string_view chooseEditorsReading(std::span<const EditorsRuby> given,
                                      std::string_view okurigana, std::string_view current,
                                      int fewestAuthors = 0);

}  // namespace torvane::reading
