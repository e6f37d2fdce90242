#include "reading/modern_kana.h"

#include "reading/kana.h"
#include "reading/reading_stages.h"

namespace torvane::reading {
namespace {

constexpr std::string_view kZu = "ず", kDzu = "づ", kJi = "じ", kDji = "ぢ";

// Words the notice writes with ず or じ though a part of them reads つ or ち alone: no longer
// felt as compounds (稲妻 いなずま, 融通 ゆうずう; 第2 5 注意).
constexpr std::string_view kFusedWords[] = {"稲妻", "融通", "固唾", "杯", "盃", "絆", "地面"};

// The notice's compound whose kanji reads no つ alone: 基づく, 基く もとづく (第2 5 (2)).
constexpr std::string_view kBasedOn = "基", kBasedOnReading = "もとづ";

// Whether some kanji of `surface` reads `plain` (つ or ち) at the start of one of its readings,
// or is no kanji of the list.
bool mayBeVoiced(std::string_view surface, std::string_view plain) {
  for (std::size_t i = 0; i < surface.size();) {
    const Utf8Char c = utf8CharAt(surface, i);
    i += c.length;
    if (!isKanji(c.value) || c.value == U'々') continue;
    const auto readings = joyoReadingsOf(c.value);
    if (readings.empty()) return true;
    for (const JoyoReading& r : readings) {
      if (std::string_view(r.kana).starts_with(plain)) return true;
    }
  }
  return false;
}

}  // namespace

std::string inModernKana(std::string_view surface, std::string reading) {
  // づ and ぢ end in A5 and A2, bytes few readings hold: most return here, after one pass.
  if (reading.find_first_of("\xA5\xA2") == std::string::npos) return reading;
  const bool dzu = reading.find(kDzu) != std::string::npos;
  const bool dji = reading.find(kDji) != std::string::npos;
  if (!dzu && !dji) return reading;
  const std::string spelt = toHiragana(surface);
  if (spelt.find(kDzu) != std::string::npos || spelt.find(kDji) != std::string::npos) {
    return reading;  // the word spells it out itself
  }
  bool fused = false;
  for (const std::string_view word : kFusedWords) fused = fused || surface.starts_with(word);
  const bool basedOn = surface.starts_with(kBasedOn) && reading.starts_with(kBasedOnReading);
  const bool keepDzu = basedOn || (!fused && mayBeVoiced(surface, "つ"));
  const bool keepDji = !fused && mayBeVoiced(surface, "ち");
  auto rewrite = [&](std::string_view voiced, std::string_view plain, std::string_view modern) {
    for (std::size_t at = reading.find(voiced); at != std::string::npos;
         at = reading.find(voiced, at + voiced.size())) {
      const bool repeated = at >= plain.size() && reading.compare(at - plain.size(), plain.size(),
                                                                  plain) == 0;
      if (!repeated) reading.replace(at, voiced.size(), modern);
    }
  };
  if (dzu && !keepDzu) rewrite(kDzu, "つ", kZu);
  if (dji && !keepDji) rewrite(kDji, "ち", kJi);
  return reading;
}

}  // namespace torvane::reading
