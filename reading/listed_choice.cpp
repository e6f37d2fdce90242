#include "reading/listed_choice.h"

#include <vector>

#include "reading/kana.h"
#include "reading/reading_stages.h"

namespace torvane::reading {
namespace {

// ず and づ, じ and ぢ, as one: the list keeps older spellings (蹄 ひづめ) that modern kana
// usage writes otherwise (ひずめ).
std::string folded(std::string_view reading) {
  std::string out(reading);
  for (std::size_t at = 0; (at = out.find("づ", at)) != std::string::npos;)
    out.replace(at, 3, "ず");
  for (std::size_t at = 0; (at = out.find("ぢ", at)) != std::string::npos;)
    out.replace(at, 3, "じ");
  return out;
}

// The kana a joint may change into: voiced at the start of a later kanji (rendaku: 本箱 ばこ,
// half-voiced after っ: 一杯 ぱい), a final つ, ち, く or き doubled before the next (学校 がっ).
constexpr std::string_view kPlainHa = "はひふへほ";
constexpr std::string_view kHalfVoiced = "ぱぴぷぺぽ";

std::vector<std::string> formsAt(std::string_view kana, bool later, bool beforeAnother) {
  std::vector<std::string> forms{std::string(kana)};
  if (later && kana.size() >= 3) {
    if (std::string voiced = withFirstVoiced(kana); voiced != kana) {
      forms.push_back(std::move(voiced));
    }
    const std::size_t at = kPlainHa.find(kana.substr(0, 3));
    if (at != std::string_view::npos && at % 3 == 0) {  // は行 is half-voiced after っ too
      forms.push_back(std::string(kHalfVoiced.substr(at, 3)) + std::string(kana.substr(3)));
    }
  }
  if (beforeAnother) {
    const std::size_t count = forms.size();
    for (std::size_t i = 0; i < count; ++i) {
      const std::string_view f = forms[i];
      if (f.size() > 3 &&
          (f.ends_with("つ") || f.ends_with("ち") || f.ends_with("く") || f.ends_with("き"))) {
        forms.push_back(std::string(f.substr(0, f.size() - 3)) + "っ");
      }
    }
  }
  return forms;
}

// How a reading stands in a compound: its stem, and a verb's stem as in 荒れ野 あれの or 書き
// 物 かきもの (its okurigana's い-row, or without る).
std::vector<std::string> stemsOf(const JoyoReading& r) {
  std::vector<std::string> stems{r.kana.substr(0, r.stem)};
  if (r.stem >= r.kana.size() || r.kana.size() < 3) return stems;
  const std::string_view last = std::string_view(r.kana).substr(r.kana.size() - 3);
  const std::string_view head = std::string_view(r.kana).substr(0, r.kana.size() - 3);
  constexpr std::string_view kU = "うくぐすつぬぶむる", kI = "いきぎしちにびみり";
  if (last == "る") stems.emplace_back(head);
  if (const std::size_t at = kU.find(last); at != std::string_view::npos && at % 3 == 0) {
    stems.push_back(std::string(head) + std::string(kI.substr(at, 3)));
  }
  return stems;
}

// Whether `reading` is the kanji of `kanji` read one by one by their jōyō readings, on readings
// only when `onOnly`. Nothing is known of a kanji outside the list: no.
bool spells(std::span<const char32_t> kanji, std::size_t i, std::string_view reading, bool onOnly) {
  if (i == kanji.size()) return reading.empty();
  const char32_t k = kanji[i] == U'々' && i > 0 ? kanji[i - 1] : kanji[i];
  for (const JoyoReading& r : joyoReadingsOf(k)) {
    if (onOnly && r.native) continue;
    for (const std::string& stem : stemsOf(r)) {
      for (const std::string& form : formsAt(stem, i > 0, i + 1 < kanji.size())) {
        if (reading.starts_with(form) &&
            spells(kanji, i + 1, reading.substr(form.size()), onOnly)) {
          return true;
        }
      }
    }
  }
  return false;
}

}  // namespace

std::string preferWordOfItsOwn(std::string_view surface,
                               std::span<const Analyzer::ListedReading> listed,
                               std::string chosen) {
  std::u32string kanji;
  for (std::size_t i = 0; i < surface.size();) {
    const Utf8Char c = utf8CharAt(surface, i);
    if (!isKanji(c.value)) return chosen;
    kanji.push_back(c.value);
    i += c.length;
  }
  // Numbers with counters are the counting rules' (一日 いちにち or ついたち).
  constexpr std::u32string_view kNumerals = U"〇一二三四五六七八九十百千万";
  if (kanji.size() < 2 || kNumerals.find(kanji[0]) != std::u32string_view::npos) return chosen;
  if (!spells(kanji, 0, folded(chosen), /*onOnly=*/true)) return chosen;
  // The chosen reading said quicker, one kana dropped (唯一 ゆいいつ, ゆいつ), is the same word.
  const std::u32string spoken = codePoints(chosen);
  const auto quicker = [&](std::string_view reading) {
    const std::u32string r = codePoints(reading);
    if (r.size() + 1 != spoken.size()) return false;
    std::size_t same = 0;
    while (same < r.size() && r[same] == spoken[same]) ++same;
    return std::u32string_view(r).substr(same) == std::u32string_view(spoken).substr(same + 1);
  };
  const std::string* own = nullptr;
  for (const Analyzer::ListedReading& r : listed) {
    if (!r.common || spells(kanji, 0, folded(r.reading), /*onOnly=*/false)) continue;
    if (quicker(r.reading)) continue;
    if (own != nullptr) return chosen;  // two such readings: no telling
    own = &r.reading;
  }
  return own != nullptr ? *own : chosen;
}

std::string chooseListedReading(std::span<const Analyzer::ListedReading> listed,
                                std::span<const std::string> ranked, std::string_view current,
                                bool glued) {
  const std::string kept(current);
  if (listed.empty()) return kept;
  std::vector<std::string_view> common;
  bool known = false, knownCommon = false;
  const std::string mine = folded(current);
  for (const Analyzer::ListedReading& r : listed) {
    if (r.common) common.push_back(r.reading);
    const bool same = folded(r.reading) == mine;
    known = known || same;
    knownCommon = knownCommon || (same && r.common);
  }
  if (knownCommon) return kept;
  if (common.size() == 1) return std::string(common.front());
  // Of several common readings, the one the analyser's dictionaries rank first.
  auto bestCommon = [&]() -> std::string {
    for (const std::string& r : ranked) {
      for (const std::string_view c : common) {
        if (r == c) return r;
      }
    }
    return std::string(common.front());
  };
  if (known) return common.empty() ? kept : bestCommon();
  if (listed.size() == 1) return listed.front().reading;
  // Several readings, none the analyser's: a glued or missing one gives way to the list's, of
  // rare ones the one that starts most like the glued one (崖下 がけか: がけした, not がいか).
  if (!glued && !current.empty()) return kept;
  if (!common.empty()) return bestCommon();
  auto sharedStart = [&](std::string_view reading) {
    const std::string theirs = folded(reading);
    std::size_t n = 0;
    while (n < theirs.size() && n < mine.size()) {
      const std::size_t length = utf8CharAt(theirs, n).length;
      if (theirs.compare(n, length, mine, n, length) != 0) break;
      n += length;
    }
    return n;
  };
  const auto* closest = &listed.front();
  for (const Analyzer::ListedReading& r : listed) {
    if (sharedStart(r.reading) > sharedStart(closest->reading)) closest = &r;
  }
  return closest->reading;
}

}  // namespace torvane::reading
