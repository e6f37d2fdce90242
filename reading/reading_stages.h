// The readings of the jōyō kanji (2010 list) with the school stage at which each is taught
// (音訓の小・中・高等学校段階別割り振り表, 2017), and the words of the list's appendix (付表), read
// as a whole. Compiled from reading/stages/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace torvane::reading {

enum class ReadingStage : std::uint8_t { Primary, JuniorHigh, HighSchool };

constexpr std::string_view readingStageKey(ReadingStage stage) {
  switch (stage) {
    case ReadingStage::Primary: return "primary";
    case ReadingStage::JuniorHigh: return "junior_high";
    case ReadingStage::HighSchool: return "high_school";
  }
  return "primary";
}

// Whether a level (-1 to 6) has taught the readings of a stage: levels 0 to 5 the primary ones,
// level 6 the junior-high ones too, and the stricter -1 none.
constexpr bool readingTaughtAt(ReadingStage stage, int level) {
  if (level < 0) return false;
  return stage == ReadingStage::Primary || (stage == ReadingStage::JuniorHigh && level >= 6);
}

// One reading of a kanji, in hiragana (on readings too), its okurigana after `stem` bytes:
// 生 い-きる is {"いきる", 3}. `stem` is the whole of `kana` for a reading without okurigana.
struct JoyoReading {
  std::string kana;
  std::size_t stem = 0;
  ReadingStage stage = ReadingStage::Primary;
  bool native = false;  // a kun reading: the list writes it in hiragana, on readings in katakana
  bool operator==(const JoyoReading&) const = default;
};

// The readings of a kanji of the list in the table's order, primary first; empty for any other
// character. 叱 填 剥 頬, the forms Shift_JIS has, have the readings of 𠮟 塡 剝 頰.
std::span<const JoyoReading> joyoReadingsOf(char32_t kanji);

// Whether `reading` is a native reading of the kanji that takes no okurigana: 爪 つめ, not 爪 そう
// nor 生 い(きる).
bool isNativeNounReading(char32_t kanji, std::string_view reading);

// The 連用形 a native reading that ends like a verb takes, in kana: a godan verb's (習う ならい,
// 切る きり) and, for a reading in る, an ichidan verb's too (助ける たすけ); which of the two a
// る verb is, the reading alone cannot tell. Nothing for a reading that ends like no verb.
struct VerbStems {
  std::string godan;
  std::string ichidan;  // empty unless the reading ends in る
};
std::optional<VerbStems> verbStemsOf(const JoyoReading& reading);

// The number of kanji with a row, 叱 and 𠮟 counted apart.
std::size_t joyoKanjiCount();

// A word of the appendix as the notice writes it, with its reading in hiragana.
struct AppendixWord {
  std::string_view word;
  std::string_view reading;
};
std::span<const AppendixWord> appendixWords();

}  // namespace torvane::reading
