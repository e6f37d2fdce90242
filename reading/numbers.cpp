#include "reading/numbers.h"

#include <array>

#include "reading/kana.h"

namespace torvane::reading {
namespace {

constexpr std::array<std::string_view, 10> kDigits = {"ぜろ", "いち", "に",   "さん", "よん",
                                                      "ご",   "ろく", "なな", "はち", "きゅう"};

// How a counter changes after the last spoken part of a number.
enum class Row {
  H,  // 本 ほん: いっぽん, さんぼん, ろっぽん, はっぽん, じゅっぽん, ひゃっぽん
  K,  // 回 かい: いっかい, ろっかい, はっかい, じゅっかい, ひゃっかい
  S,  // 冊 さつ: いっさつ, はっさつ, じゅっさつ (ろくさつ)
  Plain,  // 枚 まい: no sound change
};

struct Counter {
  std::string_view surface;
  std::string_view reading;
  Row row;
  std::string_view afterN = {};  // after さん, なん, せん, まん when it differs: 階 がい
  std::string_view four = "よん", seven = "なな", nine = "きゅう";
};

// The counters children's texts use most.
constexpr Counter kCounters[] = {
    {"本", "ほん", Row::H, "ぼん"},
    {"匹", "ひき", Row::H, "びき"},
    {"疋", "ひき", Row::H, "びき"},
    {"俵", "ひょう", Row::H, "びょう"},
    {"杯", "はい", Row::H, "ばい"},
    {"分", "ふん", Row::H, "ぷん"},
    {"発", "はつ", Row::H, "ぱつ"},
    {"回", "かい", Row::K},
    {"個", "こ", Row::K},
    {"箇", "こ", Row::K},
    {"階", "かい", Row::K, "がい"},
    {"曲", "きょく", Row::K},
    {"課", "か", Row::K},
    {"斤", "きん", Row::K},
    {"冊", "さつ", Row::S},
    {"歳", "さい", Row::S},
    {"才", "さい", Row::S},
    {"足", "そく", Row::S, "ぞく"},
    {"挺", "ちょう", Row::S},
    {"梃", "ちょう", Row::S},
    {"町", "ちょう", Row::S},
    {"寸", "すん", Row::S, "ずん"},
    {"艘", "そう", Row::S},
    {"銭", "せん", Row::S},
    {"尺", "しゃく", Row::S, "じゃく"},
    {"勺", "しゃく", Row::S},
    {"升", "しょう", Row::S, "じょう"},
    {"遍", "へん", Row::H, "べん"},
    {"返", "へん", Row::H, "べん"},
    {"軒", "けん", Row::K, "げん"},
    {"件", "けん", Row::K},
    {"間", "けん", Row::K, "げん"},
    {"週間", "しゅうかん", Row::S},
    {"頭", "とう", Row::S},
    {"点", "てん", Row::S},
    {"着", "ちゃく", Row::S},
    {"枚", "まい", Row::Plain},
    {"畳", "じょう", Row::Plain},
    {"台", "だい", Row::Plain},
    {"番", "ばん", Row::Plain},
    {"組", "くみ", Row::Plain},
    {"度", "ど", Row::Plain},
    {"倍", "ばい", Row::Plain},
    {"号", "ごう", Row::Plain},
    {"秒", "びょう", Row::Plain},
    {"羽", "わ", Row::Plain},
    {"文", "もん", Row::Plain},
    {"匁", "もんめ", Row::Plain},
    {"噸", "とん", Row::Plain},
    {"円", "えん", Row::Plain, {}, "よ"},
    {"年", "ねん", Row::Plain, {}, "よ"},
    {"年生", "ねんせい", Row::Plain, {}, "よ"},
    {"年間", "ねんかん", Row::Plain, {}, "よ"},
    {"時", "じ", Row::Plain, {}, "よ", "しち", "く"},
    {"時間", "じかん", Row::Plain, {}, "よ", "しち", "く"},
    {"月", "がつ", Row::Plain, {}, "し", "しち", "く"},
    {"人", "にん", Row::Plain, {}, "よ", "しち"},
    {"日", "にち", Row::Plain},
    {"日間", "にちかん", Row::Plain},
};

constexpr std::array<std::string_view, 11> kDays = {"",       "ついたち", "ふつか", "みっか",
                                                    "よっか", "いつか",   "むいか", "なのか",
                                                    "ようか", "ここのか", "とおか"};
constexpr std::array<std::string_view, 11> kNativeCount = {"",       "ひとつ",   "ふたつ", "みっつ",
                                                           "よっつ", "いつつ",   "むっつ", "ななつ",
                                                           "やっつ", "ここのつ", "とお"};

std::string hundreds(long h) {  // 1-9 hundreds
  if (h == 3) return "さんびゃく";
  if (h == 6) return "ろっぴゃく";
  if (h == 8) return "はっぴゃく";
  return (h == 1 ? std::string() : std::string(kDigits[h])) + "ひゃく";
}

std::string thousands(long t) {  // 1-9 thousands
  if (t == 3) return "さんぜん";
  if (t == 8) return "はっせん";
  return (t == 1 ? std::string() : std::string(kDigits[t])) + "せん";
}

// A number read as everything before its last spoken part, and that part.
struct Spoken {
  std::string head;
  std::string tail;  // "いち" ... "きゅう", "じゅう", a hundreds or thousands word, or "まん"
  long lastDigit = 0;  // the digit of the tail when it is a unit digit
};

Spoken spoken(long n) {
  Spoken s;
  if (n >= 10000) {
    s.head = numberReading(n / 10000);
    n %= 10000;
    if (n == 0) {
      s.tail = "まん";
      return s;
    }
    s.head += "まん";
  }
  const long t = n / 1000, h = n / 100 % 10, ten = n / 10 % 10, unit = n % 10;
  auto push = [&](const std::string& part) {
    s.head += s.tail;
    s.tail = part;
  };
  if (t > 0) push(thousands(t));
  if (h > 0) push(hundreds(h));
  if (ten > 0) push((ten == 1 ? std::string() : std::string(kDigits[ten])) + "じゅう");
  if (unit > 0) {
    push(std::string(kDigits[unit]));
    s.lastDigit = unit;
  }
  if (s.tail.empty()) s.tail = "ぜろ";
  return s;
}

// The tail with its last syllable turned into っ: いち いっ, じゅう じゅっ, ひゃく ひゃっ.
std::optional<std::string> geminated(const Spoken& s, Row row) {
  const std::string& t = s.tail;
  const bool k = row == Row::H || row == Row::K;
  if (s.lastDigit == 1) return std::string("いっ");
  if (s.lastDigit == 6 && k) return std::string("ろっ");
  if (s.lastDigit == 8) return std::string("はっ");
  if (s.lastDigit == 0 && t.ends_with("じゅう")) return t.substr(0, t.size() - 9) + "じゅっ";
  if (s.lastDigit == 0 && t.ends_with("ひゃく") && k) return t.substr(0, t.size() - 3) + "っ";
  return std::nullopt;
}

constexpr std::array<std::string_view, 13> kKanjiNumbers = {
    "", "一", "二", "三", "四", "五", "六", "七", "八", "九", "十", "十一", "十二"};

// Counted words the dictionary leaves to the analyser, which reads them by their context:
// 十分 is also じゅうぶん, 一日 also ついたち; 一人, 二人 and 二日 are words of the jōyō list's
// appendix, which the dictionary holds with them; 一寸 is mostly ちょっと.
constexpr std::array<std::string_view, 6> kLeftToContext = {"十分", "一日", "一人",
                                                            "二人", "二日", "一寸"};

const Counter* findCounter(std::string_view surface) {
  for (const Counter& c : kCounters) {
    if (c.surface == surface) return &c;
  }
  return nullptr;
}

// The sound of a counter after さん, なん, せん or まん.
std::string_view afterNasal(const Counter& c) {
  return c.afterN.empty() ? c.reading : c.afterN;
}

std::string hRowGeminated(const Counter& c) {
  // ほん ぽん, ひき ぴき, はい ぱい, ふん ぷん, はつ ぱつ, へん ぺん: the first kana takes the
  // p-sound.
  const std::string_view r = c.reading;
  std::string out(r);
  const std::string_view first = r.substr(0, 3);
  const std::string_view p = first == "ほ"   ? "ぽ"
                             : first == "ひ" ? "ぴ"
                             : first == "は" ? "ぱ"
                             : first == "ふ" ? "ぷ"
                             : first == "へ" ? "ぺ"
                                             : first;
  out.replace(0, 3, p);
  return out;
}

}  // namespace

std::optional<long> numberValue(std::string_view utf8) {
  if (utf8.empty()) return std::nullopt;
  long total = 0, section = 0, digit = -1;
  bool digitsOnly = true, any = false;
  for (std::size_t i = 0; i < utf8.size();) {
    const Utf8Char c = utf8CharAt(utf8, i);
    i += c.length;
    long d = -1;
    if (c.value >= U'0' && c.value <= U'9') d = c.value - U'0';
    if (c.value >= U'０' && c.value <= U'９') d = c.value - U'０';
    if (d >= 0) {
      if (!digitsOnly) return std::nullopt;
      total = total * 10 + d;
      any = true;
      if (total > 99999999) return std::nullopt;
      continue;
    }
    if (digitsOnly && any) return std::nullopt;  // digits, then kanji: 1二
    constexpr std::u32string_view kKanjiDigits = U"〇一二三四五六七八九";
    const auto k = kKanjiDigits.find(c.value);
    if (k != std::u32string_view::npos) {
      // 二〇二四 is read digit by digit, 二十四 by its units.
      digit = digit >= 0 && section == 0 && total == 0 ? digit * 10 + static_cast<long>(k)
                                                       : static_cast<long>(k);
      digitsOnly = false;
      any = true;
      continue;
    }
    const long unit = c.value == U'十' ? 10 : c.value == U'百' ? 100 : c.value == U'千' ? 1000 : 0;
    if (unit > 0) {
      section += (digit < 0 ? 1 : digit) * unit;
      digit = -1;
    } else if (c.value == U'万') {
      total += (section + (digit < 0 ? 0 : digit)) * 10000;
      section = 0;
      digit = -1;
    } else {
      return std::nullopt;
    }
    digitsOnly = false;
    any = true;
  }
  if (!any) return std::nullopt;
  if (!digitsOnly) total += section + (digit < 0 ? 0 : digit);
  if (total > 99999999) return std::nullopt;
  return total;
}

std::string numberReading(long value) {
  const Spoken s = spoken(value);
  return s.head + s.tail;
}

namespace {

// Two neighbouring digits with no unit between them, 二三 or 五六, give a rough count, each
// digit said: 二三時間 にさんじかん, 五六人 ごろくにん, 二三日 にさんにち.
std::optional<CountedParts> roughCount(std::string_view number, std::string_view counter) {
  constexpr std::u32string_view kKanjiDigits = U"一二三四五六七八九";
  if (number.empty()) return std::nullopt;
  const Utf8Char first = utf8CharAt(number, 0);
  if (first.length >= number.size()) return std::nullopt;
  const Utf8Char second = utf8CharAt(number, first.length);
  if (first.length + second.length != number.size()) return std::nullopt;
  const auto a = kKanjiDigits.find(first.value), b = kKanjiDigits.find(second.value);
  if (a == std::u32string_view::npos || b != a + 1) return std::nullopt;
  const long low = static_cast<long>(a) + 1, high = low + 1;
  const std::string head = low == 4 ? "し" : numberReading(low);
  if (counter == "日" || counter == "日間") {
    return CountedParts{head + numberReading(high) + (counter == "日" ? "にち" : "にちかん"), {}};
  }
  if (counter == "人" && high == 2) return CountedParts{head + "ににん", {}};
  std::optional<CountedParts> tail = countedParts(number.substr(first.length), counter);
  if (!tail) return std::nullopt;
  tail->number = head + tail->number;
  return tail;
}

}  // namespace

std::optional<std::string> countedReading(std::string_view number, std::string_view counter,
                                          bool afterMonth) {
  const std::optional<CountedParts> parts = countedParts(number, counter, afterMonth);
  if (!parts) return std::nullopt;
  return parts->number + parts->counter;
}

std::optional<CountedParts> countedParts(std::string_view number, std::string_view counter,
                                         bool afterMonth) {
  if (auto rough = roughCount(number, counter)) return rough;
  const bool what = number == "何";
  const std::optional<long> value = what ? std::optional<long>(-1) : numberValue(number);
  // No number, no counting: the counters are searched one by one, and every noun asks.
  if (!value) return std::nullopt;
  auto whole = [](std::string reading) { return CountedParts{std::move(reading), {}}; };
  if (counter == "つ" && *value >= 1 && *value <= 10) {
    return whole(std::string(kNativeCount[*value]));
  }
  const Counter* c = findCounter(counter);
  if (c == nullptr) return std::nullopt;
  if (what) {
    if (c->row == Row::H || !c->afterN.empty()) {
      return CountedParts{"なん", std::string(afterNasal(*c))};
    }
    return CountedParts{"なん", std::string(c->reading)};
  }
  const long n = *value;
  if (c->surface == "日" || c->surface == "日間") {
    const std::string_view rest = c->surface == "日間" ? "かん" : "";
    if (n == 1) return whole(std::string(afterMonth ? "ついたち" : "いちにち") + std::string(rest));
    if (n >= 2 && n <= 10) return whole(std::string(kDays[n]) + std::string(rest));
    if (n == 14 || n == 24) return whole(numberReading(n - 4) + "よっか" + std::string(rest));
    if (n == 20) return whole("はつか" + std::string(rest));
  }
  if (c->surface == "人" && (n == 1 || n == 2)) return whole(n == 1 ? "ひとり" : "ふたり");
  // A counter that is a native word counts one and two natively: 一組 ひとくみ.
  if (c->surface == "組" && (n == 1 || n == 2)) {
    return whole(std::string(n == 1 ? "ひと" : "ふた") + "くみ");
  }
  if (c->surface == "歳" && n == 20) return whole("はたち");

  Spoken s = spoken(n);
  if (c->row != Row::Plain) {
    if (const auto g = geminated(s, c->row)) {
      return CountedParts{s.head + *g,
                          c->row == Row::H ? hRowGeminated(*c) : std::string(c->reading)};
    }
  }
  const bool nasal = s.tail.ends_with("ん") && s.lastDigit != 4;  // さん, せん, ぜん, まん
  if (nasal && (c->row == Row::H || !c->afterN.empty())) {
    return CountedParts{s.head + s.tail, std::string(afterNasal(*c))};
  }
  if (s.lastDigit == 4) s.tail = c->four;
  if (s.lastDigit == 7) s.tail = c->seven;
  if (s.lastDigit == 9) s.tail = c->nine;
  if (c->surface == "分" && s.lastDigit == 4) return CountedParts{s.head + "よん", "ぷん"};
  return CountedParts{s.head + s.tail, std::string(c->reading)};
}

std::vector<CountedWord> dictionaryCountedWords() {
  std::vector<CountedWord> words;
  auto add = [&](std::string_view number, std::string_view counter) {
    std::string word = std::string(number) + std::string(counter);
    for (std::string_view left : kLeftToContext) {
      if (word == left) return;
    }
    if (auto reading = countedReading(number, counter)) {
      words.push_back({std::move(word), std::move(*reading)});
    }
  };
  for (const Counter& c : kCounters) {
    const std::size_t last = c.surface == "月" || c.surface == "時" ? 12 : 10;
    for (std::size_t n = 1; n <= last; ++n) add(kKanjiNumbers[n], c.surface);
  }
  // Days past ten with a reading of their own; 二十日 (はつか) is an appendix word.
  for (std::string_view day : {"十四", "二十四"}) add(day, "日");
  for (std::size_t n = 1; n <= 9; ++n) add(kKanjiNumbers[n], "つ");  // 十 is とお, with no つ
  return words;
}

}  // namespace torvane::reading
