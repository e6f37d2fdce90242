// Writes the listed words of the user dictionary: the nouns, na-adjectives and adverbs of EDICT
// (JMdict, Debian package edict, EUC-JP) that hold a kanji, each with its reading and whether EDICT
// marks it common ("(P)"), as rows in the IPA dictionary's CSV format with a tenth field, "P" or
// "-"; and EDICT's verbs and i-adjectives the IPA dictionary lacks (舞上る, 這入る, 凄じい), each
// form conjugated on the pattern of one of the IPA dictionary's own words of its class; and the
// spellings without okurigana older texts print of both and of the IPA dictionary's own verbs
// (立竦む for 立ち竦む). Compiled into the user dictionary at build time.
//
//   make_word_dictionary EDICT IPADIC_SOURCE_DIR OUTPUT.csv
#include <iconv.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "reading/kana.h"
#include "sjis/codec.h"

namespace {

using namespace torvane::reading;

std::string fromEucJp(iconv_t cd, const std::string& line) {
  std::string out(line.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(line.data());
  std::size_t inLeft = line.size();
  char* to = out.data();
  std::size_t outLeft = out.size();
  if (iconv(cd, &in, &inLeft, &to, &outLeft) == static_cast<std::size_t>(-1)) return {};
  out.resize(out.size() - outLeft);
  return out;
}

bool hasKanji(std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size();) {
    const Utf8Char c = utf8CharAt(utf8, i);
    if (isKanji(c.value)) return true;
    i += c.length;
  }
  return false;
}

std::size_t lastCharLength(std::string_view utf8) {
  std::size_t last = utf8.size();
  while (last > 0 && (static_cast<unsigned char>(utf8[last - 1]) & 0xC0) == 0x80) --last;
  return utf8.size() - (last > 0 ? last - 1 : 0);
}

char32_t lastChar(std::string_view utf8) {
  return utf8.empty() ? 0 : utf8CharAt(utf8, utf8.size() - lastCharLength(utf8)).value;
}

bool holdsKana(std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size();) {
    const Utf8Char c = utf8CharAt(utf8, i);
    if (kanaAsHiragana(c.value) != 0) return true;
    i += c.length;
  }
  return false;
}

bool isNumeral(std::string_view utf8) {
  constexpr std::u32string_view kNumerals = U"〇一二三四五六七八九十百千万";
  for (std::size_t i = 0; i < utf8.size();) {
    const Utf8Char c = utf8CharAt(utf8, i);
    if (kNumerals.find(c.value) == std::u32string_view::npos) return false;
    i += c.length;
  }
  return true;
}

std::size_t characters(std::string_view utf8) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < utf8.size(); ++n) i += utf8CharAt(utf8, i).length;
  return n;
}

// The tags before the first gloss: "(n,adj-no)", "(gikun) (n)", "(v5r,vi) (1)".
std::set<std::string_view> firstSenseTags(std::string_view senses) {
  std::set<std::string_view> tags;
  while (senses.starts_with('(')) {
    const std::size_t end = senses.find(')');
    if (end == std::string_view::npos) break;
    const std::string_view group = senses.substr(1, end - 1);
    std::size_t start = 0;
    while (start <= group.size()) {
      std::size_t comma = group.find(',', start);
      if (comma == std::string_view::npos) comma = group.size();
      tags.insert(group.substr(start, comma - start));
      start = comma + 1;
    }
    senses.remove_prefix(end + 1);
    while (senses.starts_with(' ')) senses.remove_prefix(1);
  }
  return tags;
}

// Whether a word is one the proposals read whole: a noun, a na- or no-adjective, an adverb, a
// conjunction. Not a suffix, which stands alone nowhere: 止り's どまり would read the verb's 止り
// (止りました) voiced.
constexpr std::string_view kNounTags[] = {"n", "n-adv", "n-t", "pn", "adj-na", "adj-no"};

bool isWord(const std::set<std::string_view>& tags) {
  for (const std::string_view tag : kNounTags) {
    if (tags.contains(tag)) return true;
  }
  return tags.contains("adv") || tags.contains("conj");
}

// An adverb or conjunction and no noun (恰度, 且): written as an adverb, so no noun joins it.
bool isAdverbOnly(const std::set<std::string_view>& tags) {
  for (const std::string_view tag : kNounTags) {
    if (tags.contains(tag)) return false;
  }
  return tags.contains("adv") || tags.contains("conj");
}

// The IPA dictionary's class of EDICT's conjugation tags, with the word whose forms are the
// pattern, and how many kana its dictionary form ends in past the stem. Irregular verbs (ある,
// 問う, する, 来る) are the analyser's own.
struct ConjugationClass {
  std::string_view edictTag;
  std::string_view ipadicClass;
  std::string_view pattern;
  std::string_view ending;       // of the dictionary form, after the stem
  std::string_view stemReading;  // the pattern's stem, in katakana as the IPA dictionary has it
};
constexpr ConjugationClass kClasses[] = {
    {"v1", "一段", "食べる", "る", "タベ"},
    {"v5k", "五段・カ行イ音便", "書く", "く", "カ"},
    {"v5k-s", "五段・カ行促音便", "行く", "く", "イ"},
    {"v5g", "五段・ガ行", "泳ぐ", "ぐ", "オヨ"},
    {"v5s", "五段・サ行", "話す", "す", "ハナ"},
    {"v5t", "五段・タ行", "立つ", "つ", "タ"},
    {"v5n", "五段・ナ行", "死ぬ", "ぬ", "シ"},
    {"v5b", "五段・バ行", "遊ぶ", "ぶ", "アソ"},
    {"v5m", "五段・マ行", "読む", "む", "ヨ"},
    {"v5r", "五段・ラ行", "取る", "る", "ト"},
    {"v5aru", "五段・ラ行特殊", "下さる", "る", "クダサ"},
    {"v5u", "五段・ワ行促音便", "笑う", "う", "ワラ"},
    {"adj-i", "形容詞・アウオ段", "赤い", "い", "アカ"},
    {"adj-i", "形容詞・イ段", "美しい", "い", "ウツクシ"},
};

const ConjugationClass* conjugationOf(const std::set<std::string_view>& tags,
                                      std::string_view reading) {
  for (const ConjugationClass& c : kClasses) {
    if (!tags.contains(c.edictTag)) continue;
    // An i-adjective conjugates as 美しい when its stem ends in し (しい, じい), else as 赤い.
    if (c.edictTag == "adj-i") {
      const bool shiStem = reading.ends_with("しい") || reading.ends_with("じい");
      if (shiStem != (c.ipadicClass == "形容詞・イ段")) continue;
    }
    return &c;
  }
  return nullptr;
}

// One form of a pattern word: what follows the stem in writing and in reading, and the form's
// ids and cost.
struct PatternForm {
  std::string surfaceEnding;
  std::string readingEnding;  // katakana
  std::string leftId, rightId;
  int cost = 0;
  std::string form;  // 活用形
};

std::vector<std::string> splitCsv(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = line.find(',', start);
    fields.push_back(line.substr(start, comma - start));
    if (comma == std::string::npos) return fields;
    start = comma + 1;
  }
}

// What the IPA dictionary has: every surface and the dictionary forms of its verbs and
// adjectives, and the forms of each pattern word by class.
struct IpadicWords {
  std::set<std::string> surfaces;
  std::set<std::string> conjugatedSurfaces;  // of its verbs and adjectives
  std::set<std::string> dictionaryForms;
  std::map<std::string, std::vector<PatternForm>, std::less<>> patterns;  // by IPA class
};

bool readIpadic(const std::filesystem::path& dir, iconv_t cd, IpadicWords& words) {
  std::error_code error;
  int conjugatingFiles = 0;
  for (const auto& file : std::filesystem::directory_iterator(dir, error)) {
    if (file.path().extension() != ".csv") continue;
    const std::string name = file.path().filename().string();
    const bool verbsOrAdjectives = name == "Verb.csv" || name == "Adj.csv";
    conjugatingFiles += verbsOrAdjectives;
    std::ifstream in(file.path(), std::ios::binary);
    if (!in) return false;
    std::string raw;
    while (std::getline(in, raw)) {
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      // 取っ,786,786,7227,動詞,自立,*,*,五段・ラ行,連用タ接続,取る,トッ,トッ
      const std::vector<std::string> f = splitCsv(fromEucJp(cd, raw));
      if (f.size() < 13) continue;
      words.surfaces.insert(f[0]);
      if (!verbsOrAdjectives) continue;
      words.conjugatedSurfaces.insert(f[0]);
      words.dictionaryForms.insert(f[10]);
      if (f[5] != "自立") continue;
      for (const ConjugationClass& c : kClasses) {
        if (f[8] != c.ipadicClass || f[10] != c.pattern) continue;
        const std::size_t stem = c.pattern.size() - c.ending.size();
        if (!f[0].starts_with(c.pattern.substr(0, stem)) || !f[11].starts_with(c.stemReading)) {
          break;
        }
        words.patterns[std::string(c.ipadicClass)].push_back(
            PatternForm{f[0].substr(stem), f[11].substr(c.stemReading.size()), f[1], f[2],
                        std::atoi(f[3].c_str()), f[9]});
        break;
      }
    }
  }
  if (error || conjugatingFiles != 2) return false;
  for (const ConjugationClass& c : kClasses) {
    if (!words.patterns.contains(c.ipadicClass)) return false;  // a class would vanish unseen
  }
  return true;
}

// How older texts write a word with its okurigana left out: the hiragana between two kanji
// dropped (立ち塞がる 立塞がる, 見晴らし 見晴し) and, in a noun, a verb's stem ending after its
// last kanji too (一抱え 一抱, 三階建て 三階建; not the さん of お祖父さん). Empty when that leaves
// the word as it was or with fewer than two kanji (one after お: お願い as お願).
std::string withoutOkurigana(std::string_view surface, bool trailingToo) {
  std::u32string chars;
  for (std::size_t i = 0; i < surface.size();) {
    const Utf8Char c = utf8CharAt(surface, i);
    chars.push_back(c.value);
    i += c.length;
  }
  auto hiragana = [](char32_t c) { return c >= U'ぁ' && c <= U'ゖ'; };
  // Okurigana, not a particle standing between two words (手を打つ, 目も当てられぬ).
  constexpr std::u32string_view kParticles = U"をへはもやとかで";
  // Not に, て or で, which end adverbs and phrases too (今日中に, 何気に).
  constexpr std::u32string_view kStemEndings = U"いきぎしじちびみりえけげせぜねべめれ";
  std::string out;
  int kanji = 0;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    if (hiragana(chars[i]) && i > 0 && isKanji(chars[i - 1])) {
      std::size_t end = i;
      while (end < chars.size() && hiragana(chars[end])) ++end;
      const std::u32string_view run = std::u32string_view(chars).substr(i, end - i);
      const bool between = end < chars.size() && isKanji(chars[end]) && run.size() <= 2 &&
                           run.find_first_of(kParticles) == std::u32string_view::npos;
      const bool stemEnding = trailingToo && end == chars.size() && run.size() == 1 &&
                              kStemEndings.find(run[0]) != std::u32string_view::npos;
      if (between || stemEnding) {
        i = end - 1;
        continue;
      }
    }
    kanji += isKanji(chars[i]);
    torvane::sjis::appendUtf8(out, chars[i]);
  }
  const bool polite = surface.starts_with("お") && kanji == 1;
  return (kanji >= 2 || polite) && out != surface ? out : std::string();
}

// High enough that the analyser's own words and cuts win wherever it has them, low enough that a
// listed word wins over cutting an unknown compound (蒙古, 興安嶺) in pieces; chosen by measuring.
constexpr int kCost = 12000;
// A word EDICT marks common is seldom two words where the analyser has its pieces (兎に角).
constexpr int kCommonCost = 9000;
// What a verb or adjective EDICT does not mark common costs over its pattern word's forms: the
// analyser's own cut of the same text (一息 / つい, not 一 / 息つい) wins.
constexpr int kRareFormCost = 2000;

struct Listed {
  bool common = false;
  bool adverb = false;
  bool usuallyKana = false;   // EDICT's (uk): the spelling is seldom written
  bool analysersOwn = false;  // a verb the analyser has: only its older spellings are written
  const ConjugationClass* conjugation = nullptr;  // none for a noun
};

void writeRows(std::ostream& out, const std::string& surface, const std::string& reading,
               const Listed& listed, const IpadicWords& ipadic) {
  const char commonMark = listed.common ? 'P' : '-';
  if (listed.conjugation == nullptr) {
    const std::string katakana = toKatakana(reading);
    const std::string_view ids = listed.adverb ? "1281,1281," : "1285,1285,";
    const std::string_view pos = listed.adverb ? "副詞,一般" : "名詞,一般";
    out << surface << ',' << ids << (listed.common ? kCommonCost : kCost) << ',' << pos
        << ",*,*,*,*," << surface << ',' << katakana << ',' << katakana << ',' << commonMark
        << '\n';
    return;
  }
  const ConjugationClass& c = *listed.conjugation;
  const auto forms = ipadic.patterns.find(c.ipadicClass);
  if (forms == ipadic.patterns.end()) return;
  const std::string stem = surface.substr(0, surface.size() - c.ending.size());
  const std::string stemReading = toKatakana(reading.substr(0, reading.size() - c.ending.size()));
  const std::string_view kind = c.edictTag == "adj-i" ? "形容詞" : "動詞";
  // A verb whose stem form the analyser has as another verb's (為せる's 為せ is 為す's) would
  // take that verb's place: the analyser's stays.
  for (const PatternForm& form : forms->second) {
    if (form.form == "連用形" && ipadic.conjugatedSurfaces.contains(stem + form.surfaceEnding)) {
      return;
    }
  }
  for (const PatternForm& form : forms->second) {
    const std::string formSurface = stem + form.surfaceEnding;
    // A form the analyser has as another word (遊む's 遊ん is 遊ぶ's) stays that word's; a form
    // of kanji alone (縒る's 縒) reads a bare kanji by a cut reading, unless it is an ichidan stem.
    if (ipadic.surfaces.contains(formSurface)) continue;
    const bool bareStem = c.ipadicClass == "一段" && form.surfaceEnding.empty();
    if (!bareStem && !holdsKana(formSurface)) continue;
    const std::string formReading = stemReading + form.readingEnding;
    const int cost = form.cost + (listed.common ? 0 : kRareFormCost);
    out << formSurface << ',' << form.leftId << ',' << form.rightId << ',' << cost << ',' << kind
        << ",自立,*,*," << c.ipadicClass << ',' << form.form << ',' << surface << ',' << formReading
        << ',' << formReading << ',' << commonMark << '\n';
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: make_word_dictionary EDICT IPADIC_SOURCE_DIR OUTPUT.csv\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "make_word_dictionary: cannot read %s (Debian package edict)\n", argv[1]);
    return 1;
  }
  const iconv_t cd = iconv_open("UTF-8", "EUC-JP");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    std::fprintf(stderr, "make_word_dictionary: no EUC-JP converter\n");
    return 1;
  }
  IpadicWords ipadic;
  if (!readIpadic(argv[2], cd, ipadic)) {
    std::fprintf(stderr,
                 "make_word_dictionary: cannot read Verb.csv and Adj.csv in %s (Debian package "
                 "mecab-ipadic)\n",
                 argv[2]);
    return 1;
  }
  // (surface, reading) -> what it is; EDICT lists a word once per reading and sense group.
  std::map<std::pair<std::string, std::string>, Listed> words;
  std::string raw;
  while (std::getline(in, raw)) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const std::string line = fromEucJp(cd, raw);
    // 漢字 [かな] /(n) gloss/.../(P)/
    const std::size_t space = line.find(" [");
    const std::size_t close = line.find("] /", space == std::string::npos ? 0 : space);
    if (space == std::string::npos || close == std::string::npos) continue;
    const std::string surface = line.substr(0, space);
    const std::string reading = toHiragana(line.substr(space + 2, close - space - 2));
    const std::string_view senses = std::string_view(line).substr(close + 3);
    if (!hasKanji(surface) || characters(surface) > 12 || !isAllKana(reading)) continue;
    // Nothing that would break a CSV row or the dictionary compiler's reading of it.
    if (surface.find_first_of(", \t\"") != std::string::npos) continue;
    // Old or irregular kana are no help to a teacher; okurigana left out (顔付, 生捕) and
    // irregular kanji are what older children's texts print.
    const std::string_view firstSense = senses.substr(0, senses.find('/'));
    if (firstSense.find("(ok)") != std::string_view::npos ||
        firstSense.find("(ik)") != std::string_view::npos) {
      continue;
    }
    const std::set<std::string_view> tags = firstSenseTags(senses);
    Listed entry;
    entry.adverb = isAdverbOnly(tags);
    if (!isWord(tags)) {
      // A verb or adjective the analyser has is its own to conjugate and read.
      // An expression (風邪をひく, 途方にくれる) is its words to the analyser.
      if (tags.contains("exp")) continue;
      entry.conjugation = conjugationOf(tags, reading);
      if (entry.conjugation == nullptr) continue;
      entry.analysersOwn = ipadic.dictionaryForms.contains(surface);
      const std::string_view ending = entry.conjugation->ending;
      if (!surface.ends_with(ending) || !reading.ends_with(ending) ||
          reading.size() == ending.size() ||
          !hasKanji(std::string_view(surface).substr(0, surface.size() - ending.size()))) {
        continue;
      }
    } else {
      // Numbers are the counting rules' to read (EDICT's one noun 一 is いっち).
      if (isNumeral(surface)) continue;
      // A phrase with a particle (森の奥, 虎の子) would take the place of its words in a sentence.
      if (surface.find("の") != std::string::npos || surface.find("が") != std::string::npos ||
          surface.find("ノ") != std::string::npos) {
        continue;
      }
    }
    entry.common = senses.find("/(P)/") != std::string_view::npos;
    entry.usuallyKana = firstSense.find("(uk)") != std::string_view::npos;
    const auto [at, first] = words.try_emplace({surface, reading}, entry);
    Listed& listed = at->second;
    listed.common = listed.common || entry.common;
    // An adverb only where no entry of the word is a noun.
    listed.adverb = listed.adverb && entry.adverb;
    listed.usuallyKana = listed.usuallyKana && entry.usuallyKana;
    listed.analysersOwn = listed.analysersOwn && entry.analysersOwn;
    if (listed.conjugation == nullptr) listed.conjugation = entry.conjugation;
  }
  iconv_close(cd);

  // A verb or adjective spelt as EDICT says it is seldom spelt gives way to the spelling's other
  // reading (停まる is とまる, not the usually kana とどまる): the analyser would pick between
  // them by chance.
  std::set<std::string> spelledVerbs;
  for (const auto& [key, listed] : words) {
    if (listed.conjugation != nullptr && !listed.usuallyKana) spelledVerbs.insert(key.first);
  }
  std::erase_if(words, [&](const auto& word) {
    return word.second.conjugation != nullptr && word.second.usuallyKana &&
           spelledVerbs.contains(word.first.first);
  });

  // Each word also as older texts write it without its okurigana, where that spelling is no
  // word of its own to the analyser or the list.
  std::set<std::string_view> listedSurfaces;
  for (const auto& [key, listed] : words) listedSurfaces.insert(key.first);
  std::map<std::pair<std::string, std::string>, Listed> shortened;
  auto addShortened = [&](const std::string& spelling, const std::string& reading,
                          const Listed& listed) {
    if (spelling.empty() || listedSurfaces.contains(spelling) ||
        ipadic.surfaces.contains(spelling) || ipadic.dictionaryForms.contains(spelling)) {
      return;
    }
    const auto [at, first] = shortened.try_emplace({spelling, reading}, listed);
    Listed& variant = at->second;
    variant.analysersOwn = false;
    variant.common = variant.common || listed.common;
    variant.adverb = variant.adverb && listed.adverb;
    if (variant.conjugation == nullptr) variant.conjugation = listed.conjugation;
  };
  for (const auto& [key, listed] : words) {
    const auto& [surface, reading] = key;
    if (listed.conjugation == nullptr) {
      // Both shortenings: 思違い (the kana between kanji dropped) and 思違 (the ending too), so
      // that 思違いでした is read as one word, not 思違 and the verb い.
      addShortened(withoutOkurigana(surface, false), reading, listed);
      if (!listed.adverb) addShortened(withoutOkurigana(surface, true), reading, listed);
      continue;
    }
    const std::size_t stem = surface.size() - listed.conjugation->ending.size();
    std::string spelling = withoutOkurigana(std::string_view(surface).substr(0, stem), false);
    // Not where the kanji are a word of the analyser's that conjugates with する (結び合せる
    // shortened is 結合せる, 結合 and せる).
    std::string kanjiPart = spelling;
    while (!kanjiPart.empty() && !isKanji(lastChar(kanjiPart))) {
      kanjiPart.resize(kanjiPart.size() - lastCharLength(kanjiPart));
    }
    if (ipadic.surfaces.contains(kanjiPart)) continue;
    if (!spelling.empty()) spelling += listed.conjugation->ending;
    addShortened(spelling, reading, listed);
  }
  // The analyser's own verbs (立ち竦む) stay its own; their older spellings (立竦む) are new.
  std::erase_if(words, [](const auto& word) { return word.second.analysersOwn; });
  words.merge(shortened);

  const std::string path = argv[3];
  const std::string partial = path + ".part";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    for (const auto& [key, listed] : words) writeRows(out, key.first, key.second, listed, ipadic);
    if (!out.flush()) {
      std::fprintf(stderr, "make_word_dictionary: cannot write %s\n", partial.c_str());
      return 1;
    }
  }
  // Written whole or not at all.
  if (std::rename(partial.c_str(), path.c_str()) != 0) {
    std::fprintf(stderr, "make_word_dictionary: cannot write %s\n", path.c_str());
    return 1;
  }
  return 0;
}
