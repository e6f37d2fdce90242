#include "reading/joining.h"

#include <algorithm>
#include <optional>
#include <string>

#include "reading/editors_ruby.h"
#include "reading/kana.h"
#include "reading/neighbours.h"
#include "reading/numbers.h"
#include "reading/reading_stages.h"
#include "sjis/codec.h"

namespace torvane::reading {
namespace {

enum class Kind {
  Prefix,      // 接頭詞 before a noun or a number
  VerbPrefix,  // お before a verb: お読み
  AdjPrefix,   // お before an adjective
  Noun,        // a noun that forms compounds
  Number,      // 名詞,数
  Counter,     // 名詞,接尾,助数詞
  Suffix,      // any other 名詞,接尾
  LoneNoun,    // pronoun or adverbial noun: takes suffixes, forms no compounds
  Verb,        // 動詞,自立
  HelperVerb,  // 動詞,非自立: いる, しまう, 始める
  Adjective,   // 形容詞,自立
  Ending,      // た, だ, て, で after a verb or adjective: 書いた, 読んで, 寒くて
  Other,       // particles, auxiliaries, symbols, adverbs ...
};

bool hasKanji(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Char c = utf8CharAt(text, i);
    if (isKanji(c.value)) return true;
    i += c.length;
  }
  return false;
}

Kind kindOf(const Morpheme& m, std::string_view surface) {
  const std::string_view pos = m.partOfSpeech;
  // The dictionary calls every unknown run a noun; only one with a kanji compounds like one,
  // not symbols or Latin letters (<, >&").
  if (pos == "名詞,数" || m.baseForm == "何") return Kind::Number;
  if (!m.known && !hasKanji(surface)) return Kind::Other;
  if (pos == "接頭詞,名詞接続" || pos == "接頭詞,数接続") return Kind::Prefix;
  if (pos == "接頭詞,動詞接続") return Kind::VerbPrefix;
  if (pos == "接頭詞,形容詞接続") return Kind::AdjPrefix;
  if (pos == "名詞,数" || m.baseForm == "何") return Kind::Number;
  if (pos == "名詞,接尾") {
    if (m.subclass2 == "助数詞") return Kind::Counter;
    // さん after a name, and たち, stay outside the word: 田中さん, 子どもたち.
    if (m.subclass2 == "人名" ||
        (m.subclass2 == "一般" && (isAllKana(m.baseForm) || m.baseForm == "達"))) {
      return Kind::Other;
    }
    return Kind::Suffix;
  }
  if (pos == "名詞,代名詞" || pos == "名詞,副詞可能") return Kind::LoneNoun;
  if (pos == "名詞,非自立" || pos == "名詞,特殊" || pos == "名詞,接続詞的") return Kind::Other;
  if (pos.starts_with("名詞")) return Kind::Noun;
  if (pos == "動詞,自立") return Kind::Verb;
  if (pos == "動詞,非自立") return Kind::HelperVerb;
  if (pos == "形容詞,自立") return Kind::Adjective;
  const std::string_view base = m.baseForm;
  const bool endingWord = base == "た" || base == "だ" || base == "て" || base == "で";
  if (endingWord && m.length == base.size() &&
      (pos.starts_with("助動詞") || pos == "助詞,接続助詞"))
    return Kind::Ending;
  return Kind::Other;
}

bool startsWithKanji(std::string_view text) {
  return !text.empty() && isKanji(utf8CharAt(text, 0).value);
}

// The last character of a text, or 0 when it is empty.
char32_t lastCharOf(std::string_view text) {
  std::size_t last = text.size();
  while (last > 0 && (static_cast<unsigned char>(text[last - 1]) & 0xC0) == 0x80) --last;
  return last > 0 ? utf8CharAt(text, last - 1).value : 0;
}

// Whether a text holds more than one character.
bool holdsSeveral(std::string_view text) {
  return !text.empty() && utf8CharAt(text, 0).length < text.size();
}

bool endsWithKanji(std::string_view text) {
  return isKanji(lastCharOf(text));
}

bool endsWithHiragana(std::string_view text) {
  const char32_t c = lastCharOf(text);
  return c >= U'ぁ' && c <= U'ゖ';
}

bool isPersonName(const Morpheme& m) {
  return m.partOfSpeech == "名詞,固有名詞" && m.subclass2 == "人名";
}

// Whether `next` continues the word whose last morpheme is `last` (of kind `lastKind`).
bool continues(Kind lastKind, const Morpheme& last, std::string_view lastSurface, Kind nextKind,
               const Morpheme& next, std::string_view nextSurface) {
  if (isRegionAfterPlace(last, nextSurface)) return false;
  // A place within a province or a city is a name of its own, with its own ruby: 信州 / 木曾,
  // 播州 / 明石.
  if (last.partOfSpeech == "名詞,固有名詞" && !isPersonName(last) && last.length > 3 &&
      next.partOfSpeech == "名詞,固有名詞" && next.subclass2 == "地域" && next.length > 3) {
    return false;
  }
  switch (nextKind) {
    case Kind::Suffix:
    case Kind::Counter:
      // 勢 is a suffix after a number or a name (三千勢, 武田勢); after an adjectival or adverbial
      // word or a verb it is a noun of its own (大層勢の強い, 益勢付いて, 怖しい勢).
      if (nextSurface == "勢" &&
          (last.partOfSpeech == "名詞,形容動詞語幹" || last.partOfSpeech == "名詞,サ変接続" ||
           last.partOfSpeech == "名詞,副詞可能" || lastKind == Kind::Verb)) {
        return false;
      }
      // So is 間 after such a word (随分 / 間の悪い), where after a noun it is between (日米間).
      if (nextSurface == "間" &&
          (last.partOfSpeech == "名詞,形容動詞語幹" || last.partOfSpeech == "名詞,副詞可能")) {
        return false;
      }
      // After an adverbial noun 好き is liking, not a suffix: 一番 / 好き, but 魚好き.
      if (last.partOfSpeech == "名詞,副詞可能" && next.partOfSpeech == "名詞,接尾" &&
          next.subclass2 == "形容動詞語幹") {
        return false;
      }
      // A verb's noun after a word of two kanji or more is a word of its own, with its own
      // ruby: 手品 / 使い, 葡萄 / 入り.
      if (startsWithKanji(nextSurface) && endsWithHiragana(nextSurface) &&
          holdsSeveral(nextSurface) && startsWithKanji(lastSurface) && endsWithKanji(lastSurface) &&
          holdsSeveral(lastSurface)) {
        return false;
      }
      // 私たち, 東京都, 読み方, 高さ, 三本
      return lastKind != Kind::Other && lastKind != Kind::VerbPrefix && lastKind != Kind::AdjPrefix;
    case Kind::Noun:
      // 又 before an old given name is part of it (又三郎, 又兵衛), not the conjunction; before
      // another name it stays one (又花子も来た).
      if (lastSurface == "又" && last.partOfSpeech.starts_with("接続詞") && isPersonName(next) &&
          (nextSurface.ends_with("郎") || nextSurface.ends_with("衛") ||
           nextSurface.ends_with("門") || nextSurface.ends_with("八") ||
           nextSurface.ends_with("助") || nextSurface.ends_with("蔵"))) {
        return true;
      }
      // A noun said twice is two words (木陰木陰); a noun that ends in hiragana ends its word
      // (お祖父さん / お祖母さん, 焼け / 煙突); older prose's 宛 (each) ends one (一杯宛 / 御飯).
      if (nextSurface == lastSurface || lastSurface == "宛") return false;
      // A family name starts a word of its own after a title or a noun of two characters or
      // more (左大臣 / 藤原道世, 学友 / 柳光一), as editors give the name its own ruby; after one
      // kanji it may be the analyser's cut of a longer name.
      if (isPersonName(next) && next.subclass3 == "姓" && !isPersonName(last) &&
          lastKind == Kind::Noun && holdsSeveral(lastSurface)) {
        return false;
      }
      // So does a title after a name (小林 / 少年).
      if (isTitleAfterName(last, next, nextSurface)) return false;
      // An adjectival word with its okurigana is no part of a noun's compound (火影 / 幽か), but
      // takes a prefix (御尤も, 不仕合わせ).
      if (lastKind == Kind::Noun && next.partOfSpeech == "名詞,形容動詞語幹" &&
          endsWithHiragana(nextSurface)) {
        return false;
      }
      return lastKind == Kind::Prefix || (lastKind == Kind::Noun && !endsWithHiragana(lastSurface));
    case Kind::LoneNoun:
      // 休み時間: an adverbial noun ends a compound, but starts none (明日 / 雨).
      return lastKind == Kind::Prefix ||
             (lastKind == Kind::Noun && !isAllKana(lastSurface) && startsWithKanji(nextSurface));
    case Kind::Number: return lastKind == Kind::Prefix || lastKind == Kind::Number;
    case Kind::Verb:
    case Kind::HelperVerb:
      // お読み; 見上げる: a compound verb whose first verb ends in its kanji. 跳び下りる is two
      // words, each a kanji with its okurigana, as ruby goes on each.
      // 面して: a one-kanji noun with する is one verb.
      if (nextKind == Kind::Verb && next.baseForm == "する" && last.length <= 3 &&
          last.partOfSpeech == "名詞,サ変接続" && lastKind == Kind::Noun) {
        return true;
      }
      return (lastKind == Kind::VerbPrefix && nextKind == Kind::Verb) ||
             (lastKind == Kind::Verb && last.conjugation == "連用形" &&
              startsWithKanji(nextSurface) && endsWithKanji(lastSurface));
    case Kind::Adjective: return lastKind == Kind::AdjPrefix;
    case Kind::Ending: return lastKind == Kind::Verb || lastKind == Kind::Adjective;
    default: return false;
  }
}

// 中 after a counter or a place reads じゅう (一日中, 世界中), after an action ちゅう (勉強中).
bool readsJuu(Kind lastKind, const Morpheme& last, const Morpheme& m, std::string_view surface) {
  if (surface != "中" || m.partOfSpeech != "名詞,接尾") return false;
  return lastKind == Kind::Counter || last.partOfSpeech == "名詞,一般" ||
         last.partOfSpeech == "名詞,固有名詞";
}

// A suffix read otherwise than alone after what it follows: 等 after a noun is ら (子供等
// こどもら; 一等 is a word of its own), 方 after a pronoun がた (あなた方, not the かた of
// 書き方).
std::optional<std::string_view> suffixReading(Kind lastKind, const Morpheme& last,
                                              std::string_view lastSurface, const Morpheme& m,
                                              std::string_view surface) {
  // 小屋 after what it houses is voiced: 水車小屋 すいしゃごや, 犬小舎 いぬごや.
  if ((surface == "小屋" || surface == "小舎") && lastKind == Kind::Noun) return "ごや";
  if (m.partOfSpeech != "名詞,接尾") return std::nullopt;
  if (surface == "等" && lastKind != Kind::Number && lastKind != Kind::Counter) return "ら";
  if (surface == "方" && last.partOfSpeech == "名詞,代名詞") return "がた";
  // 家 after a family name is the house of that name (矢口家 やぐちけ), not the か of 作家.
  if (surface == "家" && last.subclass2 == "人名") return "け";
  // 札 after a thing is a label (値段札 ねだんふだ); after an amount, a note (千円札 さつ).
  if (surface == "札" && last.partOfSpeech == "名詞,一般" && lastSurface != "円" &&
      lastSurface != "銭") {
    return "ふだ";
  }
  // After a verb's stem or a noun in kana the thing is a native word, voiced: かけ金 かけがね,
  // かざり金, つむぎ車 つむぎぐるま; not the き and しゃ of 賞金 and 電車.
  const bool kanaStem =
      (lastKind == Kind::Verb && last.conjugation == "連用形") ||
      (lastKind == Kind::Noun && lastSurface.size() > utf8CharAt(lastSurface, 0).length);
  if (kanaStem && isAllKana(lastSurface) && toHiragana(lastSurface) == lastSurface) {
    if (surface == "金") return "がね";
    if (surface == "車") return "ぐるま";
  }
  // A bridge named after its place or its look is voiced: 吾妻橋 あずまばし, 姿見橋 すがたみばし.
  if (surface == "橋" && lastKind == Kind::Noun) return "ばし";
  // 好き joined to what is liked is voiced: 魚好き さかなずき, 綺麗好き.
  if (surface == "好き") return "ずき";
  // 後 after a noun or a count of kanji, in one word with it, is ご (戦災後, 三年後), where
  // alone it is あと (湯上がり / 後).
  if (surface == "後" && last.partOfSpeech.starts_with("名詞") &&
      last.partOfSpeech != "名詞,形容動詞語幹" && endsWithKanji(lastSurface)) {
    return "ご";
  }
  return std::nullopt;
}

// A number and its counter as one morpheme (一人, 三日): it is whole, so no noun joins it on
// either side (番頭が一人 / 居眠り, 甚兵衛 / 一人).
bool isCountedWord(const Morpheme& m, std::string_view surface) {
  if (!m.partOfSpeech.starts_with("名詞") || surface.empty()) return false;
  const std::size_t numberLength = utf8CharAt(surface, 0).length;
  return numberLength < surface.size() &&
         countedReading(surface.substr(0, numberLength), surface.substr(numberLength)).has_value();
}

bool takesNoNoun(Kind kind) {
  return kind == Kind::Noun || kind == Kind::LoneNoun || kind == Kind::Number;
}

// Where the dictionary's first choice is not the one children's texts mean.
std::string_view preferredReading(const Morpheme& m, std::string_view surface) {
  if (surface == "行っ" && m.baseForm == "行う") return "いっ";  // 行って, 行った: went
  if (surface.starts_with("日本") && m.reading.starts_with("にっぽん")) {
    thread_local std::string nihon;  // 日本人, 日本国憲法: にほん is what schools teach
    nihon = "にほん" + m.reading.substr(std::string_view("にっぽん").size());
    return nihon;
  }
  if (surface == "来る") return "くる";  // not the adnominal きたる
  if (surface == "後" && m.partOfSpeech.starts_with("名詞")) return "あと";
  return m.reading;
}

// The first on reading the jōyō list gives a kanji, or nothing.
std::optional<std::string> firstOnReading(std::string_view kanji) {
  const Utf8Char c = utf8CharAt(kanji, 0);
  if (c.length != kanji.size()) return std::nullopt;
  for (const JoyoReading& r : joyoReadingsOf(c.value)) {
    if (!r.native) return r.kana;
  }
  return std::nullopt;
}

// The reading of one morpheme within a word: the dictionary's, a kana surface as it is, or
// nothing. `inCompound`: it follows another morpheme of the word.
bool appendReading(std::string& reading, const Morpheme& m, std::string_view surface,
                   bool inCompound) {
  if (!m.reading.empty()) {
    reading += preferredReading(m, surface);
    return true;
  }
  if (isAllKana(surface)) {
    reading += toHiragana(surface);
    return true;
  }
  // A jōyō kanji the dictionary holds without a reading, ending a compound (摩天閣's 閣): its
  // first on reading. Alone it is read later, as its verb's noun (訴が うったえ).
  if (inCompound) {
    if (const auto on = firstOnReading(surface)) {
      reading += *on;
      return true;
    }
  }
  return false;
}

// 一日 after a month is the first day, ついたち; elsewhere the dictionary's いちにち stands.
void readDates(std::string_view utf8, std::vector<Word>& words) {
  for (std::size_t i = 1; i < words.size(); ++i) {
    const Word& before = words[i - 1];
    const std::string_view previous = utf8.substr(before.offset, before.length);
    if (utf8.substr(words[i].offset, words[i].length) == "一日" && previous.ends_with("月") &&
        before.offset + before.length == words[i].offset) {
      words[i].reading = "ついたち";
    }
  }
}

// 一月 and 二月 before a word of length (ほど, ばかり, ぐらい, 余り, 近く) are a month or two,
// ひとつき and ふたつき, not January and February.
void readMonthsOfLength(std::string_view utf8, std::vector<Word>& words) {
  static constexpr std::string_view kAbout[] = {"ほど",   "ばかり", "ぐらい", "くらい",
                                                "あまり", "余り",   "近く",   "程"};
  for (std::size_t i = 0; i + 1 < words.size(); ++i) {
    const std::string_view word = utf8.substr(words[i].offset, words[i].length);
    if (word != "一月" && word != "二月") continue;
    const std::string_view after = utf8.substr(words[i].offset + words[i].length);
    for (const std::string_view about : kAbout) {
      if (after.starts_with(about)) words[i].reading = word == "一月" ? "ひとつき" : "ふたつき";
    }
  }
}

// 音 after an instrument and の is the sound it makes, ね: 鈴の音, 笛の音, 虫の音.
void readMusicalSounds(std::string_view utf8, std::vector<Word>& words) {
  static constexpr std::string_view kSounding[] = {"鈴",   "笛",     "琴",   "鐘",   "虫",  "鼓",
                                                   "琵琶", "三味線", "尺八", "太鼓", "風鈴"};
  for (std::size_t i = 2; i < words.size(); ++i) {
    if (utf8.substr(words[i].offset, words[i].length) != "音" ||
        utf8.substr(words[i - 1].offset, words[i - 1].length) != "の") {
      continue;
    }
    const std::string_view before = utf8.substr(words[i - 2].offset, words[i - 2].length);
    for (const std::string_view sounding : kSounding) {
      if (before.ends_with(sounding)) words[i].reading = "ね";
    }
  }
}

// 一 and 二 before a noun read in its native reading count with native numbers, ひと and ふた:
// 一鞭 ひとむち, 一箱 ひとはこ, 二冬 ふたふゆ. A counter read on (一枚 いちまい) keeps the
// counting rules'.
std::optional<std::string> nativeCount(std::string_view number, const Morpheme& m,
                                       std::string_view surface) {
  if (number != "一" && number != "二") return std::nullopt;
  if (m.reading.empty() || surface.empty()) return std::nullopt;
  const std::string_view native = number == "一" ? "ひと" : "ふた";
  // Nights count natively though 晩 reads on: 一晩 ひとばん, 二晩 ふたばん.
  if (surface == "晩") return std::string(native) + "ばん";
  // A verb's stem, a kanji with its okurigana, names an act or a handful natively: 一抱え
  // ひとかかえ, 一休み ひとやすみ.
  if (m.partOfSpeech == "動詞,自立") {
    const bool stem = m.conjugation == "連用形" && startsWithKanji(surface) &&
                      isAllKana(surface.substr(utf8CharAt(surface, 0).length));
    if (!stem) return std::nullopt;
    return std::string(native) + m.reading;
  }
  if (!m.partOfSpeech.starts_with("名詞")) return std::nullopt;
  const Utf8Char c = utf8CharAt(surface, 0);
  if (c.length != surface.size() || !isKanji(c.value)) return std::nullopt;
  // A kanji outside the list names a thing by its native word as a noun (鞭, 雫).
  const bool nativeNoun = joyoReadingsOf(c.value).empty() ? m.partOfSpeech == "名詞,一般"
                                                          : isNativeNounReading(c.value, m.reading);
  if (!nativeNoun) return std::nullopt;
  return std::string(native) + m.reading;
}

// Given names of the old kind the dictionary cuts in two: 兵衛 after one kanji is べえ, the kanji
// read on (吉兵衛 きちべえ, not よしひょうえ); 右衛門 and 左衛門 are えもん and ざえもん, not
// みぎえもん.
void readOldNames(std::string_view utf8, std::span<const Morpheme> morphemes,
                  std::vector<Word>& words) {
  auto surface = [&](std::size_t k) {
    return utf8.substr(morphemes[k].offset, morphemes[k].length);
  };
  for (Word& word : words) {
    if (word.morphemeCount < 2 || word.reading.empty()) continue;
    for (std::size_t k = word.firstMorpheme + 1; k < word.firstMorpheme + word.morphemeCount; ++k) {
      const Morpheme& before = morphemes[k - 1];
      const std::string_view name = surface(k);
      std::string glued = before.reading + morphemes[k].reading, read;
      if (name == "兵衛" && morphemes[k].reading == "ひょうえ") {
        const std::optional<std::string> on = firstOnReading(surface(k - 1));
        if (!on) continue;
        read = *on + "べえ";
      } else if (name == "衛門" && (surface(k - 1) == "右" || surface(k - 1) == "左")) {
        read = surface(k - 1) == "右" ? "えもん" : "ざえもん";
      } else {
        continue;
      }
      if (const std::size_t at = word.reading.find(glued); at != std::string::npos) {
        word.reading.replace(at, glued.size(), read);
      }
    }
  }
}

// The old provinces (令制国) with their readings: 国 and 守 after one take の (丹波国
// たんばのくに, 越前守 えちぜんのかみ), and some read otherwise today (上野 こうずけ).
struct Province {
  std::string_view name, reading;
};
constexpr Province kProvinces[] = {
    {"山城", "やましろ"},   {"大和", "やまと"},   {"河内", "かわち"},     {"和泉", "いずみ"},
    {"摂津", "せっつ"},     {"伊賀", "いが"},     {"伊勢", "いせ"},       {"志摩", "しま"},
    {"尾張", "おわり"},     {"三河", "みかわ"},   {"遠江", "とおとうみ"}, {"駿河", "するが"},
    {"伊豆", "いず"},       {"甲斐", "かい"},     {"相模", "さがみ"},     {"武蔵", "むさし"},
    {"安房", "あわ"},       {"上総", "かずさ"},   {"下総", "しもうさ"},   {"常陸", "ひたち"},
    {"近江", "おうみ"},     {"美濃", "みの"},     {"飛騨", "ひだ"},       {"信濃", "しなの"},
    {"上野", "こうずけ"},   {"下野", "しもつけ"}, {"陸奥", "むつ"},       {"出羽", "でわ"},
    {"若狭", "わかさ"},     {"越前", "えちぜん"}, {"加賀", "かが"},       {"能登", "のと"},
    {"越中", "えっちゅう"}, {"越後", "えちご"},   {"佐渡", "さど"},       {"丹波", "たんば"},
    {"丹後", "たんご"},     {"但馬", "たじま"},   {"因幡", "いなば"},     {"伯耆", "ほうき"},
    {"出雲", "いずも"},     {"石見", "いわみ"},   {"隠岐", "おき"},       {"播磨", "はりま"},
    {"美作", "みまさか"},   {"備前", "びぜん"},   {"備中", "びっちゅう"}, {"備後", "びんご"},
    {"安芸", "あき"},       {"周防", "すおう"},   {"長門", "ながと"},     {"紀伊", "きい"},
    {"淡路", "あわじ"},     {"阿波", "あわ"},     {"讃岐", "さぬき"},     {"伊予", "いよ"},
    {"土佐", "とさ"},       {"筑前", "ちくぜん"}, {"筑後", "ちくご"},     {"豊前", "ぶぜん"},
    {"豊後", "ぶんご"},     {"肥前", "ひぜん"},   {"肥後", "ひご"},       {"日向", "ひゅうが"},
    {"大隅", "おおすみ"},   {"薩摩", "さつま"},   {"壱岐", "いき"},       {"対馬", "つしま"},
};

// Old names with の the dictionary cuts in two: a clan and a given name (藤原道長
// ふじわらのみちなが), an old province and 国 or 守 (丹波国 たんばのくに, 越前守 えちぜんのかみ).
void readClassicalNames(std::string_view utf8, std::span<const Morpheme> morphemes,
                        std::vector<Word>& words) {
  // Clans named with の, not modern family names as well (小野, 安倍, 大江).
  static constexpr std::string_view kClans[] = {"源",   "平",   "橘",   "藤原", "菅原",
                                                "在原", "大伴", "物部", "蘇我", "中臣",
                                                "坂上", "阿倍", "清原"};
  // How modern given names end (藤原一郎 is ふじわらいちろう), and what follows a living person's
  // name (藤原正彦さん).
  static constexpr std::u32string_view kModernEndings =
      U"郎子夫男雄美吉助介蔵作治彦也太博樹香人一二三司士哉斗翔奈恵江代枝乃";
  static constexpr std::string_view kHonorifics[] = {"さん",   "氏",   "君",  "くん",
                                                     "ちゃん", "先生", "選手"};
  for (std::size_t w = 0; w < words.size(); ++w) {
    Word& word = words[w];
    if (word.reading.empty()) continue;
    const std::string_view surface = utf8.substr(word.offset, word.length);
    for (const Province& p : kProvinces) {
      if (!surface.starts_with(p.name)) continue;
      const std::string_view rest = surface.substr(p.name.size());
      if (rest == "国") word.reading = std::string(p.reading) + "のくに";
      if (rest == "守") word.reading = std::string(p.reading) + "のかみ";
    }
    const Morpheme& clan = morphemes[word.firstMorpheme];
    const std::string_view clanSurface = utf8.substr(clan.offset, clan.length);
    if (std::find(std::begin(kClans), std::end(kClans), clanSurface) == std::end(kClans)) continue;
    const std::u32string given = codePoints(surface.substr(clanSurface.size()));
    const std::string_view after = utf8.substr(word.offset + word.length);
    const bool honoured = std::any_of(std::begin(kHonorifics), std::end(kHonorifics),
                                      [&](std::string_view h) { return after.starts_with(h); });
    const bool classical = !honoured && word.morphemeCount > 1 &&
                           morphemes[word.firstMorpheme + 1].subclass2 == "人名" &&
                           given.size() == 2 && isKanji(given[0]) && isKanji(given[1]) &&
                           kModernEndings.find(given[1]) == std::u32string_view::npos;
    if (classical && !clan.reading.empty() && word.reading.starts_with(clan.reading) &&
        word.reading.size() > clan.reading.size() &&
        !std::string_view(word.reading).substr(clan.reading.size()).starts_with("の")) {
      word.reading.insert(clan.reading.size(), "の");
    }
  }
}

// The kana a reading's last kana may stand as when it conjugates: a verb's ending any kana of its
// row (with the sound changes っ, い, ん), an adjective's い its stems' く, か, け, さ and き.
bool mayStandAs(char32_t ending, char32_t kana) {
  constexpr std::u32string_view kAdjective = U"いくかけさき";
  constexpr std::u32string_view kVerbRows[] = {U"わいうえおっ", U"かきくけこい", U"がぎぐげごい",
                                               U"さしすせそ",   U"たちつてとっ", U"なにぬねのん",
                                               U"ばびぶべぼん", U"まみむめもん", U"らりるれろっ"};
  if (ending == U'い') return kAdjective.find(kana) != std::u32string_view::npos;
  for (const std::u32string_view row : kVerbRows) {
    if (row[2] == ending) return row.find(kana) != std::u32string_view::npos;
  }
  return ending == kana;
}

// The kana of the e and i rows: a る after one is an ichidan verb's (訴える, 助ける), save a few
// godan verbs the rule misses (帰る, 混じる).
constexpr std::u32string_view kIchidanBefore = U"えけげせぜてでねべめれいきぎしじちにびみり";

// A godan verb's stem as it stands before て and た, with its っ or its い (思う おもっ, 当たる
// あたっ, 行く いっ, 叩く たたい), for older prose that leaves that kana out (思て, 当て, 叩て):
// the kanji's first native reading of the jōyō list that ends in う, つ, る or く. Nothing where
// its verbs disagree on that kana (向く 向いて, 向かう 向かって) or one is an ichidan verb, which
// may have lost more (占める 占めて), nor for a kanji that reads as no such verb.
std::optional<std::string> stemBeforeTe(char32_t kanji) {
  std::optional<std::string> stem;
  std::string_view kana;  // っ or い
  for (const JoyoReading& r : joyoReadingsOf(kanji)) {
    if (!r.native || r.stem >= r.kana.size()) continue;
    const std::u32string spelt = codePoints(r.kana);
    const char32_t last = spelt.back();
    const bool ichidan = last == U'る' && spelt.size() >= 2 &&
                         kIchidanBefore.find(spelt[spelt.size() - 2]) != std::u32string_view::npos;
    if (ichidan) return std::nullopt;
    std::string_view changed;
    if (last == U'う' || last == U'つ' || last == U'る' || (last == U'く' && kanji == U'行')) {
      changed = "っ";
    } else if (last == U'く') {
      changed = "い";
    } else {
      continue;  // む, ぶ and ぬ take で; す keeps its し
    }
    if (!stem) {
      stem = r.kana.substr(0, r.kana.size() - std::string_view("る").size()) + std::string(changed);
      kana = changed;
    } else if (changed != kana) {
      return std::nullopt;
    }
  }
  return stem;
}

// The noun a kanji's first native reading of the jōyō list that ends like a verb makes, its
// 連用形: 訴える うったえ, 習う ならい. Nothing for a kanji with no such reading. An adverb's
// reading ends like a verb too (全く); the rule serves only kanji the analyser cannot read at
// all, where it seldom meets one.
std::optional<std::string> verbNounOf(char32_t kanji) {
  for (const JoyoReading& r : joyoReadingsOf(kanji)) {
    const std::optional<VerbStems> stems = verbStemsOf(r);
    if (!stems) continue;
    // An ichidan verb by the kana before its る (訴える), which the reading alone suggests.
    const std::u32string okurigana = codePoints(std::string_view(r.kana).substr(r.stem));
    const bool ichidan =
        !stems->ichidan.empty() && okurigana.size() >= 2 &&
        kIchidanBefore.find(okurigana[okurigana.size() - 2]) != std::u32string_view::npos;
    return ichidan ? stems->ichidan : stems->godan;
  }
  return std::nullopt;
}

// Particles that follow a noun: a kanji standing before one is a noun, whatever its okurigana
// could spell (親も is not したしむ).
constexpr std::u32string_view kParticles = U"がのはをにでともへやかねよなばてぞ";

// The classical form of an adjective the analyser finds before more of a word (怖し / い,
// 羨し / がる) is older okurigana of another adjective: 怖しい おそろしい, 羨しがる うらやましがる.
// The reading editors gave the kanji before し, if any.
std::optional<std::string> olderAdjectiveReading(std::string_view utf8,
                                                 std::span<const Morpheme> morphemes,
                                                 const Word& word) {
  const Morpheme& first = morphemes[word.firstMorpheme];
  if (first.conjugation != "文語基本形" || !first.partOfSpeech.starts_with("形容詞")) {
    return std::nullopt;
  }
  const std::string_view surface = utf8.substr(first.offset, first.length);
  const std::size_t kanjiBytes = utf8CharAt(surface, 0).length;
  if (surface.substr(kanjiBytes) != "し" || !isKanji(utf8CharAt(surface, 0).value) ||
      word.firstMorpheme + 1 >= morphemes.size()) {
    return std::nullopt;
  }
  const Morpheme& next = morphemes[word.firstMorpheme + 1];
  if (next.offset != first.offset + first.length || next.partOfSpeech.starts_with("助") ||
      utf8CharAt(utf8, next.offset).value < U'ぁ' || utf8CharAt(utf8, next.offset).value > U'ゖ') {
    return std::nullopt;
  }
  const std::string_view given = editorsOkuriganaReadingOf(surface.substr(0, kanjiBytes), "し");
  if (given.empty()) return std::nullopt;
  return std::string(given) + "し";
}

}  // namespace

bool isRegionAfterPlace(const Morpheme& place, std::string_view nextSurface) {
  static constexpr std::string_view kRegions[] = {"郡", "藩", "領", "地方", "附近", "付近", "半島"};
  static constexpr std::string_view kPlaces[] = {"村", "市"};
  const auto among = [&](const auto& words) {
    return std::find(std::begin(words), std::end(words), nextSurface) != std::end(words);
  };
  // A name of one kanji (砂村's 砂) reads otherwise alone.
  constexpr std::size_t kOneKanji = 3;  // bytes
  return place.partOfSpeech.starts_with("名詞,固有名詞") && place.length > kOneKanji &&
         (among(kRegions) || (!isPersonName(place) && among(kPlaces)));
}

bool isTitleAfterName(const Morpheme& name, const Morpheme& next, std::string_view nextSurface) {
  return isPersonName(name) && !isPersonName(next) && next.partOfSpeech.starts_with("名詞") &&
         startsWithKanji(nextSurface) && holdsSeveral(nextSurface);
}

void readOlderOkurigana(std::string_view utf8, std::span<const Morpheme> morphemes,
                        std::vector<Word>& words) {
  for (Word& word : words) {
    const Morpheme& first = morphemes[word.firstMorpheme];
    const std::string_view surface = utf8.substr(first.offset, first.length);
    if (auto older = olderAdjectiveReading(utf8, morphemes, word)) {
      const std::string_view kana = utf8.substr(
          first.offset + first.length, word.offset + word.length - first.offset - first.length);
      if (kana.empty() || isAllKana(kana)) word.reading = std::move(*older) + toHiragana(kana);
      continue;
    }
    const Utf8Char kanji = utf8CharAt(surface, 0);
    if (kanji.length != surface.size() || !isKanji(kanji.value)) continue;
    const std::string_view rest = utf8.substr(
        first.offset + first.length, word.offset + word.length - first.offset - first.length);
    if (!rest.empty() && !isAllKana(rest)) continue;
    // The hiragana after the kanji, in the word and past it.
    std::u32string after;
    for (std::size_t i = first.offset + first.length; i < utf8.size() && after.size() < 4;) {
      const Utf8Char c = utf8CharAt(utf8, i);
      if (c.value < U'ぁ' || c.value > U'ゖ') break;
      after.push_back(c.value);
      i += c.length;
    }
    // A kanji the dictionary cannot read at all, standing as a noun, is the noun of its verb:
    // 訴が うったえ, 習で ならい, 違ない ちがい.
    const bool noun = after.empty() || kParticles.find(after[0]) != std::u32string_view::npos ||
                      std::u32string_view(after).starts_with(U"ない");
    std::string nextKana;  // the first of them, as editors' table has its okurigana
    if (!after.empty()) sjis::appendUtf8(nextKana, after[0]);
    const bool misread =
        first.partOfSpeech.starts_with("名詞") || first.conjugation == "体言接続特殊２";
    // Whether morpheme m is the て or the た a verb takes (思て, 取たら), not 獣たち's suffix.
    const auto joinsTeOrTa = [&](std::size_t m) {
      if (m >= morphemes.size() || morphemes[m].offset != first.offset + first.length) return false;
      const std::string_view next = utf8.substr(morphemes[m].offset, morphemes[m].length);
      const std::string_view pos = morphemes[m].partOfSpeech;
      return (next == "て" && pos.starts_with("助詞")) ||
             (next == "た" && pos.starts_with("助動詞")) ||
             ((next == "たら" || next == "たり") && pos.starts_with("助"));
    };
    // Older prose leaves out a godan verb's っ or い before て and た (思て おもって, 取て とって,
    // 叩て たたいて), where the analyser cannot read the kanji, reads it as a noun or cuts the
    // verb short.
    if ((misread || word.reading.empty()) && joinsTeOrTa(word.firstMorpheme + 1) &&
        !numberValue(surface)) {  // 二た月 is ふたつき
      std::optional<std::string> stem = stemBeforeTe(kanji.value);
      // A kanji off the list, as editors read it before that て or た (云て いって).
      if (!stem && joyoReadingsOf(kanji.value).empty()) {
        const std::string_view given = editorsOkuriganaReadingOf(surface, nextKana);
        if (given.ends_with("っ") || given.ends_with("い")) stem = std::string(given);
        // Or, where they never read it before that kana, as they read it before the っ itself
        // (廻て: 廻って まわ).
        if (given.empty()) {
          const std::string_view beforeTsu = editorsOkuriganaReadingOf(surface, "っ");
          if (!beforeTsu.empty()) stem = std::string(beforeTsu) + "っ";
        }
      }
      if (stem) {
        word.reading = *stem + toHiragana(rest);
        continue;
      }
    }
    if (word.reading.empty() && rest.empty() && noun) {
      if (auto read = verbNounOf(kanji.value)) {
        word.reading = std::move(*read);
      } else if (!after.empty()) {
        // Else as editors read it before that kana, which their table counts as okurigana
        // where it is no particle of a noun: 以て もって, 僅な わずかな.
        word.reading = std::string(editorsOkuriganaReadingOf(surface, nextKana));
      }
      continue;
    }
    if (after.empty() || kParticles.find(after[0]) != std::u32string_view::npos) continue;
    std::optional<std::string> read;
    for (const JoyoReading& r : joyoReadingsOf(kanji.value)) {
      if (!r.native || r.stem >= r.kana.size()) continue;
      const std::string_view okurigana = std::string_view(r.kana).substr(r.stem);
      const std::u32string ending = codePoints(okurigana);
      // Leaving out `left` kana of it, and their bytes.
      for (std::size_t left = 1, bytes = 0; left < ending.size() && !read; ++left) {
        bytes += utf8CharAt(okurigana, bytes).length;
        const std::u32string_view written = std::u32string_view(ending).substr(left);
        if (after.size() < written.size()) continue;
        // An ichidan verb's る stands as る, れ or ろ only: 助った is たすかった, not たすけった.
        const bool ichidan = written.back() == U'る' &&
                             kIchidanBefore.find(ending[left - 1]) != std::u32string_view::npos;
        bool matches = ichidan ? std::u32string_view(U"るれろ").find(after[written.size() - 1]) !=
                                     std::u32string_view::npos
                               : mayStandAs(written.back(), after[written.size() - 1]);
        for (std::size_t k = 0; k + 1 < written.size(); ++k) {
          matches = matches && written[k] == after[k];
        }
        if (matches) read = r.kana.substr(0, r.stem + bytes);
      }
      if (read) break;
    }
    // Older okurigana the list's readings do not spell is read as editors read the kanji before
    // that kana: any editor's reading where the dictionary has none (慄えながら ふる, 駛せた は),
    // a well-attested one over a noun's where the analyser takes the kana for a verb's
    // (横わった よこた, not よこ), not for a particle or a word (心まで, 蔵いっぱい stay).
    // A noun of its own (女 おんな, 中 なか) may take the quoting って; a kanji the dictionary
    // only knows read on (拍 はく) is a verb there (拍って うって). A verb's bare stem (洩 of
    // 洩る) stands before する only where the kana were its okurigana (洩して もらして).
    const auto nounOfItsOwn = [&] {
      const auto readings = joyoReadingsOf(kanji.value);
      return std::any_of(readings.begin(), readings.end(), [&](const JoyoReading& r) {
        return r.native && r.stem == r.kana.size() && r.kana == word.reading;
      });
    };
    const auto verbKanaFollow = [&] {
      if (after[0] == U'っ' && !nounOfItsOwn()) return true;
      if (word.firstMorpheme + 1 >= morphemes.size()) return false;
      const std::string_view pos = morphemes[word.firstMorpheme + 1].partOfSpeech;
      return pos.starts_with("動詞") || pos.starts_with("形容詞");
    };
    if (!read && (word.reading.empty() || (misread && verbKanaFollow()))) {
      const std::string_view given = word.reading.empty()
                                         ? editorsOkuriganaReadingOf(surface, nextKana)
                                         : editorsReadingOf(surface, nextKana, first.reading);
      if (!given.empty()) read = std::string(given);
    }
    if (read && *read != first.reading) word.reading = *read + toHiragana(rest);
  }
}

void readNativeWords(std::string_view utf8, std::span<const Morpheme> morphemes,
                     std::vector<Word>& words) {
  // The kanji, the start of the dictionary's reading and what it stands for; the kanji may carry
  // okurigana (廻って).
  static constexpr struct {
    std::string_view spelling, dictionary, native;
  } kNative[] = {
      {"家", "いえ", "うち"},            // a home, alone: 家族 is a morpheme of its own
      {"幸福", "こうふく", "しあわせ"},  // happiness
      {"住居", "じゅうきょ", "すまい"},  // a dwelling
      {"好", "よい", "いい"},            // 好い, not 好く
      {"廻", "めぐ", "まわ"},            // 廻る, 廻って
      {"描", "えが", "か"},              // 絵を描いて
      {"傍", "はた", "そば"},            // alone: 傍ら is かたわら
      {"身体", "しんたい", "からだ"},    // the body
      {"咽喉", "いんこう", "のど"},      // the throat
      {"集", "たか", "あつま"},          // 人が集った: people gathered, not swarmed
      {"伐っ", "うっ", "きっ"},          // 竹を伐って: felled (伐つ stays うつ)
      {"奉", "まつ", "たてまつ"},        // 奉った: offered up
      {"室", "しつ", "へや"},            // alone, a room: 室の中
      {"管", "かん", "くだ"},            // alone, a tube: ガラスの管
  };
  // The native noun reading the jōyō list gives a kanji for primary school, if any: 館 やかた,
  // not 面's おも, a reading of compounds (面影) that お面 does not have.
  auto nativeNoun = [](char32_t kanji) -> std::optional<std::string> {
    for (const JoyoReading& r : joyoReadingsOf(kanji)) {
      if (r.native && r.stem == r.kana.size() && r.stage == ReadingStage::Primary) return r.kana;
    }
    return std::nullopt;
  };
  for (Word& word : words) {
    const Morpheme& first = morphemes[word.firstMorpheme];
    const std::string_view surface = utf8.substr(word.offset, word.length);
    // 御 before a native word is お, before a Sino-Japanese one ご: 御手紙 おてがみ, 御城 おしろ,
    // but 御家来 ごけらい, 御褒美 ごほうび. The word's first kanji tells, by the native readings
    // the jōyō list gives it.
    if (word.morphemeCount >= 2 && surface.starts_with("御") && first.reading == "ご" &&
        word.reading.starts_with("ご")) {
      const Morpheme& noun = morphemes[word.firstMorpheme + 1];
      const std::string_view nounSurface = utf8.substr(noun.offset, noun.length);
      const Utf8Char kanji = utf8CharAt(nounSurface, 0);
      bool native = false, on = false;  // whether the noun's reading starts with such a reading
      for (const JoyoReading& r : joyoReadingsOf(kanji.value)) {
        const std::string_view read = std::string_view(r.kana).substr(0, r.stem);
        const bool starts = !read.empty() && noun.reading.starts_with(read);
        native = native || (r.native && starts);
        on = on || (!r.native && starts);
      }
      if (noun.partOfSpeech.starts_with("名詞") && native && !on) {
        word.reading.replace(0, std::string_view("ご").size(), "お");
      }
    }
    // お before one kanji read on, and 大 before one read natively, where the dictionary has no
    // word for the two: お館 おやかた (not おかん), 大傷 おおきず (not だいきず).
    if (word.morphemeCount == 2 && (surface.starts_with("お") || surface.starts_with("大"))) {
      const Morpheme& noun = morphemes[word.firstMorpheme + 1];
      const Utf8Char kanji = utf8CharAt(surface, first.length);
      const auto native = nativeNoun(kanji.value);
      const bool oneKanji = first.length + kanji.length == surface.size() && isKanji(kanji.value);
      if (oneKanji && native && noun.partOfSpeech.starts_with("名詞") && !noun.reading.empty()) {
        // A one-kana native reading is no noun of its own (重 え), and お後 is おあと.
        const bool ownNoun = native->size() > 3 && kanji.value != U'後';
        if (surface.starts_with("お") && first.reading == "お" && ownNoun &&
            noun.reading != *native) {
          bool readOn = false;  // by the list's on reading, not a native one it lacks (お眼 め)
          for (const JoyoReading& r : joyoReadingsOf(kanji.value)) {
            readOn = readOn || (!r.native && r.kana == noun.reading);
          }
          if (readOn) word.reading = "お" + *native;
        } else if (surface.starts_with("大") && first.partOfSpeech.starts_with("接頭詞") &&
                   (first.reading == "だい" || first.reading == "たい") &&
                   noun.reading == *native) {
          word.reading = "おお" + *native;
        }
      }
    }
    // The kanji stand alone in their word, with kana only after them: 身体検査 is しんたい.
    for (const auto& row : kNative) {
      const std::string_view okurigana =
          surface.substr(std::min(row.spelling.size(), surface.size()));
      if (surface.starts_with(row.spelling) && (okurigana.empty() || isAllKana(okurigana)) &&
          first.reading.starts_with(row.dictionary) && word.reading.starts_with(row.dictionary)) {
        word.reading.replace(0, row.dictionary.size(), row.native);
      }
    }
  }
}

void readRoundedVerbs(std::string_view utf8, std::span<const Morpheme> morphemes,
                      std::vector<Word>& words) {
  // The a-row kana before う and their rounded o-row kana.
  static constexpr std::u32string_view kOpen = U"あかがさざただなはばぱまやらわ",
                                       kRounded = U"おこごそぞとどのほぼぽもよろお";
  for (Word& word : words) {
    const std::size_t last = word.firstMorpheme + word.morphemeCount;
    for (std::size_t m = word.firstMorpheme, readAt = 0; m < last; ++m) {
      const Morpheme& verb = morphemes[m];
      const std::size_t readEnd = readAt + verb.reading.size();
      readAt = readEnd;
      const std::string_view surface = utf8.substr(verb.offset, verb.length);
      if (!verb.partOfSpeech.starts_with("動詞") || verb.conjugation != "基本形" ||
          !surface.ends_with("う") || !verb.reading.ends_with("う") ||
          !isKanji(utf8CharAt(surface, 0).value) || m + 1 >= morphemes.size()) {
        continue;
      }
      const std::string_view then = utf8.substr(morphemes[m + 1].offset, morphemes[m + 1].length);
      if (!then.starts_with("て") && !then.starts_with("た")) continue;
      // The kana before う, the last but one of the reading.
      const std::size_t u = verb.reading.size() - std::string_view("う").size();
      if (u == 0) continue;
      std::size_t before = 0;
      for (std::size_t i = 0; i < u; i += utf8CharAt(verb.reading, i).length) before = i;
      const std::size_t open = kOpen.find(utf8CharAt(verb.reading, before).value);
      if (open == std::u32string_view::npos) continue;
      // The word's reading spells its morphemes' in order where nothing re-read them.
      const std::size_t at = readEnd - verb.reading.size() + before;
      if (readEnd > word.reading.size() ||
          word.reading.compare(readEnd - verb.reading.size(), verb.reading.size(), verb.reading) !=
              0) {
        break;
      }
      std::string rounded;
      sjis::appendUtf8(rounded, kRounded[open]);
      word.reading.replace(at, utf8CharAt(word.reading, at).length, rounded);
    }
  }
}

// The reading 々 gives after one kanji read `last`: a native reading again, voiced where it can
// be (神々 かみがみ, 村々 むらむら); an on reading as it is (点々 てんてん). Nothing after more
// than one kanji, or one read by nothing.
std::optional<std::string> repetitionReading(const Morpheme& last, std::string_view lastSurface) {
  if (last.reading.empty() || lastSurface.empty()) return std::nullopt;
  const Utf8Char kanji = utf8CharAt(lastSurface, 0);
  if (kanji.length != lastSurface.size() || !isKanji(kanji.value)) return std::nullopt;
  for (const JoyoReading& r : joyoReadingsOf(kanji.value)) {
    if (r.native && r.kana.substr(0, r.stem) == last.reading) return withFirstVoiced(last.reading);
  }
  return last.reading;
}

std::vector<Word> joinWords(std::string_view utf8, std::span<const Morpheme> morphemes) {
  std::vector<Word> words;
  words.reserve(morphemes.size());
  Kind lastKind = Kind::Other;
  bool readingKnown = true;
  // The run of number morphemes the word ends with: where it starts in the text and in the
  // reading, and whether the reading was known before it.
  std::size_t numberAt = 0, numberReadingAt = 0;
  bool knownBeforeNumber = true;
  for (std::size_t i = 0; i < morphemes.size(); ++i) {
    const Morpheme& m = morphemes[i];
    const std::string_view surface = utf8.substr(m.offset, m.length);
    Kind kind = kindOf(m, surface);
    const bool adjacent = !words.empty() && words.back().offset + words.back().length == m.offset;

    // A number with its counter is read as one: 三本 さんぼん, 6月 ろくがつ.
    if (adjacent && lastKind == Kind::Number) {
      const Word& before = words.size() > 1 ? words[words.size() - 2] : words.back();
      const bool afterMonth = words.size() > 1 &&
                              before.offset + before.length == words.back().offset &&
                              utf8.substr(before.offset, before.length).ends_with("月") &&
                              words.back().offset == numberAt;
      const std::string_view number = utf8.substr(numberAt, m.offset - numberAt);
      std::optional<std::string> counted = countedReading(number, surface, afterMonth);
      if (!counted) counted = nativeCount(number, m, surface);
      // A digit before a counted word of the dictionary (四 / 五匹) is a rough count with it.
      if (!counted && isCountedWord(m, surface)) {
        const std::size_t digit = utf8CharAt(surface, 0).length;
        counted = countedReading(std::string(number) + std::string(surface.substr(0, digit)),
                                 surface.substr(digit));
      }
      if (counted) {
        Word& word = words.back();
        word.length += m.length;
        ++word.morphemeCount;
        readingKnown = knownBeforeNumber;
        if (readingKnown) word.reading = word.reading.substr(0, numberReadingAt) + *counted;
        lastKind = Kind::Counter;
        continue;
      }
    }

    const std::string_view lastSurface =
        i > 0 ? utf8.substr(morphemes[i - 1].offset, morphemes[i - 1].length) : std::string_view();
    // 々 the analyser leaves alone repeats the kanji before it (昔々 むかしむかし), and 々々
    // the two before it (愚図々々 ぐずぐず, 馬鹿々々しい ばかばか).
    if (adjacent && surface == "々" && readingKnown) {
      const bool twoRepeated =
          i + 1 < morphemes.size() && morphemes[i + 1].offset == m.offset + m.length &&
          utf8.substr(morphemes[i + 1].offset, morphemes[i + 1].length) == "々";
      const std::u32string last = codePoints(lastSurface);
      if (twoRepeated && last.size() == 2 && isKanji(last[0]) && isKanji(last[1]) &&
          !morphemes[i - 1].reading.empty()) {
        Word& word = words.back();
        word.length += 2 * m.length;
        word.morphemeCount += 2;
        word.reading += morphemes[i - 1].reading;
        ++i;
        continue;
      }
      if (const auto repeated = repetitionReading(morphemes[i - 1], lastSurface)) {
        Word& word = words.back();
        word.length += m.length;
        ++word.morphemeCount;
        word.reading += *repeated;
        // A repeated word forms no compound (追々 / 全快, 夫々 / 拳銃) but may start a name
        // (佐々倉).
        const bool nameFollows =
            i + 1 < morphemes.size() && morphemes[i + 1].partOfSpeech.starts_with("名詞,固有名詞");
        if (!nameFollows) lastKind = Kind::LoneNoun;
        continue;
      }
    }
    const bool counted =
        i > 0 && takesNoNoun(kind) &&
        (isCountedWord(m, surface) || isCountedWord(morphemes[i - 1], lastSurface));
    if (adjacent && !counted &&
        continues(lastKind, morphemes[i - 1], lastSurface, kind, m, surface)) {
      Word& word = words.back();
      if (kind == Kind::Number && lastKind != Kind::Number) {
        numberAt = m.offset;
        numberReadingAt = word.reading.size();
        knownBeforeNumber = readingKnown;
      }
      word.length += m.length;
      ++word.morphemeCount;
      if (readsJuu(lastKind, morphemes[i - 1], m, surface)) {
        word.reading += "じゅう";
      } else if (const auto read =
                     suffixReading(lastKind, morphemes[i - 1], lastSurface, m, surface);
                 read && readingKnown) {
        word.reading += *read;
      } else if (readingKnown) {
        readingKnown = appendReading(word.reading, m, surface, /*inCompound=*/true);
      }
      // A helper verb that joined a verb ends a verb: 泣き出した.
      if (kind == Kind::HelperVerb) kind = Kind::Verb;
    } else {
      if (!words.empty() && !readingKnown) words.back().reading.clear();
      Word word{m.offset, m.length, {}, i, 1};
      readingKnown = appendReading(word.reading, m, surface, /*inCompound=*/false);
      if (kind == Kind::Number) {
        numberAt = m.offset;
        numberReadingAt = 0;
        knownBeforeNumber = true;
      }
      words.push_back(std::move(word));
      // A helper verb that starts a word is the verb of it: 始めた after 読み.
      if (kind == Kind::HelperVerb) kind = Kind::Verb;
    }
    lastKind = kind;
  }
  if (!words.empty() && !readingKnown) words.back().reading.clear();
  readDates(utf8, words);
  readMonthsOfLength(utf8, words);
  readMusicalSounds(utf8, words);
  readCorners(utf8, words);
  readOldNames(utf8, morphemes, words);
  readClassicalNames(utf8, morphemes, words);
  return words;
}

void joinSpeltOutKana(std::string_view utf8, std::span<const Morpheme> morphemes,
                      std::vector<Word>& words) {
  // Whether `next` starts with the last kana of the reading of `word`, a word of kanji alone.
  const auto repeatsLastKana = [&](const Word& word, const Word& next) {
    if (word.offset + word.length != next.offset) return false;
    const std::string_view spelt = utf8.substr(next.offset, next.length);
    const Utf8Char k = utf8CharAt(spelt, 0);
    if (k.value < U'ぁ' || k.value > U'ゖ') return false;
    const std::string_view kana = spelt.substr(0, k.length);
    if (word.reading.size() <= kana.size() || !word.reading.ends_with(kana)) return false;
    const std::u32string kanji = codePoints(utf8.substr(word.offset, word.length));
    return std::all_of(kanji.begin(), kanji.end(), [](char32_t c) { return isKanji(c); });
  };
  const auto spellsOut = [&](const Word& word, const Word& kana) {
    if (kana.morphemeCount != 1 || !repeatsLastKana(word, kana)) return false;
    const std::string_view spelt = utf8.substr(kana.offset, kana.length);
    if (utf8CharAt(spelt, 0).length != spelt.size()) return false;
    // Not a particle, which follows any word (兄に, 雲も, 部屋や), nor the copula (体だ, 派手で,
    // 女なのだ; older prose's 皆な is みんな), nor a verb (溺死し). A sentence's closing particle
    // closes nothing before a kanji: 此様な目 is こんな目, お金ね、 stays おかねね.
    const std::string_view pos = morphemes[kana.firstMorpheme].partOfSpeech;
    const std::size_t after = kana.offset + kana.length;
    const bool closingBeforeKanji =
        pos == "助詞,終助詞" && after < utf8.size() && isKanji(utf8CharAt(utf8, after).value);
    const bool copula = spelt == "だ" || spelt == "で" ||
                        (spelt == "な" && utf8.substr(word.offset, word.length) != "皆");
    return (!pos.starts_with("助詞") || closingBeforeKanji) &&
           !(pos.starts_with("助動詞") && copula) && !pos.starts_with("動詞,自立") &&
           !pos.starts_with("動詞,非自立");
  };
  std::vector<Word> joined;
  joined.reserve(words.size());
  for (Word& word : words) {
    // A verb's or adjective's stem the analyser cuts off before the first kana of its okurigana
    // reads that kana once: 遮ぎる さえ ぎる, 眩ゆい まば ゆい.
    if (!joined.empty() && joined.back().morphemeCount == 1) {
      const Morpheme& stem = morphemes[joined.back().firstMorpheme];
      const bool cutOff =
          (stem.partOfSpeech.starts_with("動詞,自立") && stem.conjugation == "体言接続特殊２") ||
          (stem.partOfSpeech.starts_with("形容詞,自立") && stem.conjugation == "ガル接続");
      if (cutOff && repeatsLastKana(joined.back(), word)) {
        std::string& reading = joined.back().reading;
        reading.resize(reading.size() - utf8CharAt(utf8, word.offset).length);
      }
    }
    if (!joined.empty() && spellsOut(joined.back(), word)) {
      joined.back().length += word.length;
      joined.back().morphemeCount += word.morphemeCount;
      continue;
    }
    joined.push_back(std::move(word));
  }
  words = std::move(joined);
}

}  // namespace torvane::reading
