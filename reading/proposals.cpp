#include "reading/proposals.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <unordered_map>
#include <utility>

#include <unicode/uchar.h>

#include "checker/colours.h"
#include "checker/levels.h"
#include "reading/editors_ruby.h"
#include "reading/folded_forms.h"
#include "reading/joining.h"
#include "reading/kana.h"
#include "reading/listed_choice.h"
#include "reading/neighbours.h"
#include "reading/numbers.h"
#include "reading/reading_stages.h"
#include "reading/ruby_pieces.h"

namespace torvane::reading {
namespace {

// A word's characters in the Shift_JIS text, gathered while walking it.
struct Gathered {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::vector<sjis::SjisChar> problems;
  bool redKanji = false;
  bool anyKanji = false;
};

// The text the analyser reads: the source without the characters that add no bytes of their own
// (variation selectors, zero-width characters), which would otherwise split 葛󠄀飾 in two, and
// with kanji in the forms the dictionary knows (頰 as 頬, 國 as 国).
struct AnalysisText {
  std::string text;
  std::vector<std::uint32_t> toSource;  // per byte of `text`, plus one for the end; empty: same
};

AnalysisText forAnalysis(std::string_view utf8) {
  AnalysisText a;
  bool any = false;
  for (std::size_t i = 0; i < utf8.size() && !any;) {
    // Every joining character starts with E2, EF or F3, a byte no other character continues
    // with; full-width punctuation starts with EF too, so the character itself decides. The
    // folded kanji start with E4 to E9, EF (﨑) or F0.
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0xE2) {
      ++i;
      continue;
    }
    const Utf8Char c = utf8CharAt(utf8, i);
    any = sjis::joinsNeighbour(c.value) || foldedForm(c.value) != 0;
    i += c.length;
  }
  if (!any) return a;
  a.text.reserve(utf8.size());
  a.toSource.reserve(utf8.size() + 1);
  for (std::size_t i = 0; i < utf8.size();) {
    const Utf8Char c = utf8CharAt(utf8, i);
    if (const char32_t folded = foldedForm(c.value)) {
      const std::size_t before = a.text.size();
      sjis::appendUtf8(a.text, folded);
      // Each byte of the folded form stands for the source's character (𠮟 has four, 叱 three).
      for (std::size_t k = before; k < a.text.size(); ++k) {
        a.toSource.push_back(static_cast<std::uint32_t>(i + std::min(k - before, c.length - 1)));
      }
    } else if (!sjis::joinsNeighbour(c.value)) {
      a.text.append(utf8.substr(i, c.length));
      for (std::size_t k = 0; k < c.length; ++k)
        a.toSource.push_back(static_cast<std::uint32_t>(i + k));
    }
    i += c.length;
  }
  a.toSource.push_back(static_cast<std::uint32_t>(utf8.size()));
  return a;
}

// The dictionary's reading as the proposal gives it: hiragana, or nothing when the dictionary's
// entry holds no kana reading (a symbol's entry reads as the symbol itself: 〆, 仝).
std::string hiraganaOrNothing(std::string_view reading) {
  std::string hiragana = toHiragana(reading);
  return isHiraganaReading(hiragana) ? hiragana : std::string();
}

bool holdsKanji(std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size();) {
    const Utf8Char c = utf8CharAt(utf8, i);
    if (reading::isKanji(c.value)) return true;
    i += c.length;
  }
  return false;
}

// The dictionaries' readings of a text's words, each surface looked up once: in a long text the
// same words recur thousands of times. The surfaces are views into text that outlives the cache.
class WordLookUps {
 public:
  explicit WordLookUps(const Analyzer& analyzer) : analyzer_(analyzer) {}

  const Analyzer::WordReadings& operator()(std::string_view surface) {
    auto [it, added] = known_.try_emplace(surface);
    if (added) it->second = analyzer_.lookUp(surface);
    return it->second;
  }

 private:
  const Analyzer& analyzer_;
  std::unordered_map<std::string_view, Analyzer::WordReadings> known_;
};

// A one-kanji noun read by a native reading of the jōyō list that needs no okurigana (爪 つめ).
bool nativeKanjiNoun(const Morpheme& m, std::string_view utf8) {
  if (m.partOfSpeech != "名詞,一般" || m.reading.empty()) return false;
  const std::string_view surface = utf8.substr(m.offset, m.length);
  const Utf8Char c = utf8CharAt(surface, 0);
  return c.length == surface.size() && isNativeNounReading(c.value, m.reading);
}

// Whether a reading holds a voiced obstruent, which keeps it from rendaku (Lyman's law: 一株
// ひとかぶ stays かぶ).
bool holdsVoicedObstruent(std::string_view reading) {
  for (const char32_t c : codePoints(reading)) {
    if (std::u32string_view(U"がぎぐげござじずぜぞだぢづでどばびぶべぼ").find(c) !=
        std::u32string_view::npos) {
      return true;
    }
  }
  return false;
}

// Where the word list knows a word whole, its readings decide between the analyser's and its own.
// A suffix standing alone (達) keeps the analyser's reading: the list has it as a noun of its
// own, voiced (だち, from 友達).
void preferListedReadings(WordLookUps& lookUp, std::string_view utf8,
                          std::span<const Morpheme> morphemes, std::vector<Word>& words) {
  using Known = Analyzer::WordReadings;
  // The choice for a listed word from its analysed reading and whether that was glued, the same
  // wherever the word recurs: a word has one or two such readings in a text.
  struct Choice {
    std::string analysed;
    bool glued = false;
    std::string chosen;
  };
  std::unordered_map<std::string_view, std::vector<Choice>> choices;
  auto choose = [&](std::string_view surface, const Known& whole, const std::string& analysed,
                    bool glued) -> const std::string& {
    std::vector<Choice>& made = choices[surface];
    for (const Choice& c : made) {
      if (c.glued == glued && c.analysed == analysed) return c.chosen;
    }
    made.push_back(
        {analysed, glued,
         preferWordOfItsOwn(surface, whole.listed,
                            chooseListedReading(whole.listed, whole.ranked, analysed, glued))});
    return made.back().chosen;
  };
  for (std::size_t w = 0; w < words.size(); ++w) {
    Word& word = words[w];
    const std::string_view surface = utf8.substr(word.offset, word.length);
    if (!holdsKanji(surface)) continue;
    const std::span<const Morpheme> parts =
        morphemes.subspan(word.firstMorpheme, word.morphemeCount);
    if (parts.size() == 1 && parts[0].partOfSpeech == "名詞,接尾") continue;
    // A name before a title or a region keeps the analyser's reading, where the list has the
    // same kanji as a common word (寺内将軍 てらうち, not the じない of a temple's grounds; 大分市
    // おおいた, not だいぶ).
    if (parts.size() == 1 && !word.reading.empty() && w + 1 < words.size()) {
      const Morpheme& next = morphemes[words[w + 1].firstMorpheme];
      const std::string_view nextSurface = utf8.substr(next.offset, next.length);
      if (isTitleAfterName(parts[0], next, nextSurface) ||
          isRegionAfterPlace(parts[0], nextSurface)) {
        continue;
      }
    }
    // A title that stays a word of its own (様, 殿) still tells how the list reads the two
    // together: 仏様 ほとけさま, so 仏 is ほとけ, not ふつ.
    if (w + 1 < words.size() && words[w + 1].offset == word.offset + word.length &&
        !word.reading.empty()) {
      const Word& next = words[w + 1];
      const Morpheme& title = morphemes[next.firstMorpheme];
      const std::string_view titled = utf8.substr(word.offset, word.length + next.length);
      if (next.morphemeCount == 1 && title.partOfSpeech == "名詞,接尾" &&
          title.subclass2 == "人名" && !title.reading.empty() &&
          holdsKanji(utf8.substr(next.offset, next.length))) {
        if (const Known& both = lookUp(titled); !both.listed.empty()) {
          const std::string chosen =
              chooseListedReading(both.listed, both.ranked, word.reading + title.reading, true);
          if (chosen.size() > title.reading.size() && chosen.ends_with(title.reading)) {
            word.reading = chosen.substr(0, chosen.size() - title.reading.size());
            continue;
          }
        }
      }
    }
    // A verb with its ending the analyser read keeps its reading where the list has its
    // spelling as another word: 降って is the adverb くだって only where it is no form of 降る.
    // One morpheme alone keeps it where it is a verb's kanji alone (得 of 得べく, え, is no noun
    // 得 とく) or the list has only rare readings of the same verb (癒る なおる, not the archaic
    // いる), but not over another word the list spells so (好く, the adverb よく).
    const Known& whole = lookUp(surface);
    const std::string_view first = utf8.substr(parts[0].offset, parts[0].length);
    const bool oneVerb =
        parts.size() == 1 && parts[0].partOfSpeech.starts_with("動詞") && !word.reading.empty();
    const bool rareVerbsOnly = std::all_of(whole.listed.begin(), whole.listed.end(),
                                           [](const auto& r) { return r.verb && !r.common; });
    const bool verb = (parts.size() > 1 && parts[0].partOfSpeech == "動詞,自立" &&
                       !word.reading.empty() && isAllKana(surface.substr(first.size()))) ||
                      (oneVerb && (first.size() == utf8CharAt(first, 0).length || rareVerbsOnly));
    if (!whole.listed.empty() && !verb) {
      word.reading = choose(surface, whole, word.reading, parts.size() > 1);
      continue;
    }
    if (parts.size() == 1) continue;
    // A compound the list does not know: its longest listed pieces, each read as the list
    // would read it alone, where the word's reading is its parts' readings put together (no
    // counting rule or じゅう changed it).
    std::string glued;
    for (const Morpheme& m : parts) {
      if (m.reading.empty()) {
        glued.clear();
        break;
      }
      glued += m.reading;
    }
    if (glued.empty() || glued != word.reading) continue;
    std::string reading;
    for (std::size_t i = 0; i < parts.size();) {
      std::size_t end = std::min(parts.size(), i + 4);  // pieces of up to four morphemes
      for (; end > i + 1; --end) {
        const std::string_view piece = utf8.substr(
            parts[i].offset, parts[end - 1].offset + parts[end - 1].length - parts[i].offset);
        if (!lookUp(piece).listed.empty()) break;
      }
      const std::string_view piece = utf8.substr(
          parts[i].offset, parts[end - 1].offset + parts[end - 1].length - parts[i].offset);
      std::string pieceReading;
      for (std::size_t k = i; k < end; ++k) pieceReading += parts[k].reading;
      bool common = true;  // names, verbs and suffixes keep their readings
      for (std::size_t k = i; k < end; ++k) {
        const std::string_view pos = parts[k].partOfSpeech;
        common =
            common && (pos == "名詞,一般" || pos == "名詞,サ変接続" || pos == "名詞,形容動詞語幹");
      }
      if (const Known& k = lookUp(piece); common && !k.listed.empty() && holdsKanji(piece)) {
        pieceReading = chooseListedReading(k.listed, k.ranked, pieceReading, end - i > 1);
      }
      // A native word after another takes rendaku: 丸 and 爪 are まるづめ.
      if (i > 0 && end == i + 1 && common && nativeKanjiNoun(parts[i - 1], utf8) &&
          nativeKanjiNoun(parts[i], utf8) && !holdsVoicedObstruent(pieceReading)) {
        pieceReading = withFirstVoiced(pieceReading);
      }
      reading += pieceReading;
      i = end;
    }
    word.reading = std::move(reading);
  }
}

// Puts in each word's place the parts `cut` makes of it (`parts` left empty keeps the word),
// copying the list only from the first word cut on.
template <class Cut>
void cutWords(std::vector<Word>& words, Cut cut) {
  std::vector<Word> out, parts;
  bool copying = false;
  for (std::size_t i = 0; i < words.size(); ++i) {
    parts.clear();
    cut(std::as_const(words[i]), parts);
    if (parts.empty()) {
      if (copying) out.push_back(std::move(words[i]));
      continue;
    }
    if (!copying) {
      // A cut adds a word or two, and words with a cut are far fewer than one in eight: the
      // words are moved once, not once more when the list grows.
      out.reserve(words.size() + words.size() / 8);
      std::move(words.begin(), words.begin() + static_cast<std::ptrdiff_t>(i),
                std::back_inserter(out));
      copying = true;
    }
    std::move(parts.begin(), parts.end(), std::back_inserter(out));
  }
  if (copying) words = std::move(out);
}

// A word is cut where kana that follow a kanji are followed by a kanji again: a compound verb
// the dictionary holds whole (降り出す, 飛び上がる), a noun (生け捕り, 売り場, 休み時間, 気の毒).
// Editors put ruby on each run of kanji, with its okurigana, and children's books print it so.
// Each part reads the share of the reading its ruby pieces give it (売り場's 場 is ば); where a
// piece spans the cut (a reading the dictionaries give only whole) the word stays whole.
void splitAtOkurigana(std::string_view utf8, std::vector<Word>& words) {
  cutWords(words, [&](const Word& word, std::vector<Word>& parts) {
    const std::string_view surface = utf8.substr(word.offset, word.length);
    if (word.reading.empty()) return;
    std::vector<WordChar> chars;  // lengths in UTF-8 bytes: the pieces' offsets are the word's
    for (std::size_t i = 0; i < surface.size();) {
      const Utf8Char c = utf8CharAt(surface, i);
      chars.push_back({c.value, c.length});
      i += c.length;
    }
    // Where a part starts: after kana (okurigana, or katakana: 日本アルプス / 山脈) that follow a
    // kanji, at a kanji. A lone っ is no okurigana but the stem's own (引っ越す).
    std::vector<std::size_t> cuts;  // byte offsets in the word
    bool kanjiSeen = false;
    std::size_t at = 0, kanaRun = 0;
    for (std::size_t i = 0; i < chars.size(); at += chars[i].length, ++i) {
      const bool kanji = reading::isKanji(chars[i].value);
      const bool lone = kanaRun == 1 && kanaAsHiragana(chars[i - 1].value) == U'っ';
      if (kanji && kanjiSeen && kanaRun > 0 && !lone) cuts.push_back(at);
      kanjiSeen = kanjiSeen || kanji;
      kanaRun = kanaAsHiragana(chars[i].value) != 0 ? kanaRun + 1 : 0;
    }
    if (cuts.empty()) return;
    const std::vector<RubyPiece> pieces = alignRuby(chars, word.reading);
    auto startsPiece = [&](std::size_t cut) {
      for (const RubyPiece& p : pieces) {
        if (p.offset == cut) return true;
        if (p.offset < cut && cut < p.offset + p.length) return false;
      }
      return false;
    };
    bool whole = pieces.empty();
    for (const std::size_t cut : cuts) whole = whole || !startsPiece(cut);
    if (whole) return;
    cuts.push_back(surface.size());
    std::string spelt;
    std::size_t begin = 0, c = 0, byte = 0, next = 0;  // a character, its byte, the next piece
    bool kanaOutside = true;
    for (const std::size_t end : cuts) {
      // Each part keeps the whole word's morphemes: nothing after the cut looks at them.
      Word part{word.offset + begin, end - begin, {}, word.firstMorpheme, word.morphemeCount};
      while (byte < end) {
        if (next < pieces.size() && pieces[next].offset == byte) {
          part.reading += pieces[next].reading;
          const std::size_t pieceEnd = byte + pieces[next].length;
          while (byte < pieceEnd) byte += chars[c++].length;
          ++next;
        } else {
          kanaOutside = kanaOutside && kanaAsHiragana(chars[c].value) != 0;
          part.reading += toHiragana(surface.substr(byte, chars[c].length));
          byte += chars[c++].length;
        }
      }
      spelt += part.reading;
      parts.push_back(std::move(part));
      begin = end;
    }
    if (!kanaOutside || spelt != word.reading) parts.clear();
  });
}

// A count is cut between its number and its counter, each with its share of the reading
// (一｜羽《わ》, 三｜本《ぼん》): editors of children's books put ruby on the counter and leave
// the number bare. A count read as one word (一人 ひとり, 三日 みっか) stays whole, and so do a
// month's name (四月) and a count written in digits, which takes no ruby.
void splitCounts(std::string_view utf8, std::vector<Word>& words) {
  cutWords(words, [&](const Word& word, std::vector<Word>& parts) {
    const std::string_view whole = utf8.substr(word.offset, word.length);
    // Kana the dictionary holds with the count (もう一度) are a word of their own.
    std::size_t lead = 0;
    for (Utf8Char c;
         lead < whole.size() && (c = utf8CharAt(whole, lead)).value >= U'ぁ' && c.value <= U'ゖ';) {
      lead += c.length;
    }
    const std::string_view leadKana = whole.substr(0, lead), surface = whole.substr(lead);
    std::size_t last = 0;  // the last character's byte
    for (std::size_t i = 0; i < surface.size(); i += utf8CharAt(surface, i).length) last = i;
    const std::string_view number = surface.substr(0, last), counter = surface.substr(last);
    // numberValue takes no mix of digits and kanji, so a number holding a kanji is all kanji.
    const bool kanjiCount = !number.empty() && counter != "月" &&
                            isKanji(utf8CharAt(counter, 0).value) &&
                            (number == "何" || (holdsKanji(number) && numberValue(number)));
    const std::optional<CountedParts> counted =
        kanjiCount ? countedParts(number, counter) : std::nullopt;
    if (!counted || counted->counter.empty() ||
        std::string(leadKana) + counted->number + counted->counter != word.reading) {
      return;
    }
    if (lead > 0) {
      parts.push_back(
          {word.offset, lead, std::string(leadKana), word.firstMorpheme, word.morphemeCount});
    }
    parts.push_back(
        {word.offset + lead, last, counted->number, word.firstMorpheme, word.morphemeCount});
    parts.push_back({word.offset + lead + last, surface.size() - last, counted->counter,
                     word.firstMorpheme, word.morphemeCount});
  });
}

// A word as the editors' table holds it: an honorific お, one run of two kanji or more, and
// its okurigana or none.
struct EditorsSpelling {
  std::string_view honorific, kanji, rest;
};

// Nothing for one kanji alone, read by what the analyser makes of its sentence (人 ひと, 三人 にん;
// 入って はいって, 気に入って いって), which editors' ruby, given mostly where the reading is
// the rarer one, would undo; nor for a word that starts with a number, left to the counting rules
// and the list (一個 いっこ, not the older ひとつ; 一寸 ちょっと).
std::optional<EditorsSpelling> editorsSpellingOf(std::string_view surface) {
  EditorsSpelling spelling;
  if (surface.starts_with("お")) {
    spelling.honorific = surface.substr(0, std::string_view("お").size());
    surface.remove_prefix(spelling.honorific.size());
  }
  std::size_t kanjiEnd = 0, kanjiCount = 0;
  while (kanjiEnd < surface.size()) {
    const Utf8Char c = utf8CharAt(surface, kanjiEnd);
    if (!isKanji(c.value)) break;
    kanjiEnd += c.length;
    ++kanjiCount;
  }
  if (kanjiCount < 2 || numberValue(surface.substr(0, utf8CharAt(surface, 0).length))) {
    return std::nullopt;
  }
  spelling.kanji = surface.substr(0, kanjiEnd);
  spelling.rest = surface.substr(kanjiEnd);
  if (!spelling.rest.empty() && !isAllKana(spelling.rest)) return std::nullopt;
  return spelling;
}

// Whether a text starts with a number, in digits or kanji.
bool isCountStart(std::string_view text) {
  if (text.empty()) return false;
  const Utf8Char c = utf8CharAt(text, 0);
  return numberValue(text.substr(0, c.length)).has_value() ||
         (c.value >= U'0' && c.value <= U'9') || (c.value >= U'０' && c.value <= U'９');
}

// The stem a kanji's verb takes in a compound verb, its 連用形 in kana and as spelt (切 きり 切り,
// 助 たすけ 助け): of the kanji's native readings of the jōyō list that end like a verb, the first
// whose 連用形 the dictionary knows so. Nothing for a kanji that reads as no verb.
std::optional<std::string> compoundStemOf(const Analyzer& analyzer, std::string_view kanji) {
  const Utf8Char k = utf8CharAt(kanji, 0);
  // A kanji off the list (駈, 摺, 云) as editors read it before a 連用形's last kana, where the
  // dictionary knows that 連用形: 駈け かけ, 摺り すり, 云い いい.
  if (joyoReadingsOf(k.value).empty()) {
    static constexpr std::string_view kStemKana[] = {"り", "き", "い", "し", "ち", "み",
                                                     "び", "ぎ", "に", "け", "れ", "え",
                                                     "め", "ね", "せ", "て", "べ", "げ"};
    for (const std::string_view kana : kStemKana) {
      const std::string_view given = editorsOkuriganaReadingOf(kanji, kana);
      if (given.empty()) continue;
      const std::string stem = std::string(given) + std::string(kana);
      const std::vector<std::string> known =
          analyzer.readingsOf(std::string(kanji) + std::string(kana));
      if (std::find(known.begin(), known.end(), stem) != known.end()) return stem;
    }
    return std::nullopt;
  }
  for (const JoyoReading& r : joyoReadingsOf(k.value)) {
    const std::optional<VerbStems> stems = verbStemsOf(r);
    if (!stems) continue;
    // A godan verb's stem (切り), or an ichidan verb's where the reading ends in る (助け).
    for (const std::string& stem : {stems->godan, stems->ichidan}) {
      if (stem.size() <= r.stem) continue;
      const std::string spelt = std::string(kanji) + stem.substr(r.stem);
      const std::vector<std::string> known = analyzer.readingsOf(spelt);
      if (std::find(known.begin(), known.end(), stem) != known.end()) return stem;
    }
  }
  return std::nullopt;
}

// Older prose writes a compound verb without the first verb's okurigana (立出でて, 舞下りて,
// 打摧かれ), which the analyser reads as a kanji alone, as a noun or read on, and a verb: the
// kanji takes its verb's stem and joins the verb (たちいでて, まいおりて, うちくだかれ). Not a
// noun of its own read natively (上向く's 上 うわ, 手 て) unless that reading is the stem.
void readCompoundVerbs(const Analyzer& analyzer, std::string_view utf8,
                       std::span<const Morpheme> morphemes, std::vector<Word>& words) {
  // Each kanji's stem is looked up once a text.
  std::unordered_map<std::string_view, std::optional<std::string>> stems;
  // The stem the kanji alone of `first` takes before the verb that starts `next`, if it joins it.
  const auto joiningStem = [&](const Word& first, const Word& next,
                               const Word* before) -> const std::string* {
    if (first.morphemeCount != 1 || first.offset + first.length != next.offset ||
        next.reading.empty()) {
      return nullptr;
    }
    const Morpheme& kanjiAlone = morphemes[first.firstMorpheme];
    const Morpheme& verb = morphemes[next.firstMorpheme];
    const std::string_view kanji = utf8.substr(first.offset, first.length);
    const Utf8Char k = utf8CharAt(kanji, 0);
    // A verb with its okurigana: not an ichidan verb's bare stem (行着く's 着, 廻診's 診).
    const std::string_view verbSpelt = utf8.substr(verb.offset, verb.length);
    if (k.length != kanji.size() || !isKanji(k.value) ||
        !verb.partOfSpeech.starts_with("動詞,自立") || !isKanji(utf8CharAt(verbSpelt, 0).value) ||
        isKanji(codePoints(verbSpelt).back())) {
      return nullptr;
    }
    // 仕 and 為 stand for する (仕掛る しかかる), which is no kanji's verb; after a count the
    // kanji is a suffix of it (一本宛 ずつ).
    const bool afterCount = before != nullptr && before->offset + before->length == first.offset &&
                            isCountStart(utf8.substr(before->offset));
    if (k.value == U'仕' || k.value == U'為' || numberValue(kanji) || afterCount ||
        !(kanjiAlone.partOfSpeech.starts_with("名詞") ||
          kanjiAlone.conjugation == "体言接続特殊２")) {
      return nullptr;
    }
    auto [known, added] = stems.try_emplace(kanji);
    if (added) known->second = compoundStemOf(analyzer, kanji);
    const std::optional<std::string>& stem = known->second;
    // A noun read as its verb's stem (舞 まい) is that stem: 舞下りて まいおりて.
    if (!stem || (*stem != first.reading && isNativeNounReading(k.value, kanjiAlone.reading))) {
      return nullptr;
    }
    // A noun of the two kanji with する is that noun (修覆して しゅうふくして), where the
    // analyser took the second for a verb in す.
    const std::u32string spelt = codePoints(verbSpelt);
    if (spelt.size() >= 2 &&
        std::u32string_view(U"さしすせ").find(spelt[1]) != std::u32string_view::npos &&
        !analyzer.readingsOf(std::string(kanji) + std::string(verbSpelt.substr(0, k.length)))
             .empty()) {
      return nullptr;
    }
    return &*stem;
  };
  std::vector<Word> joined;
  joined.reserve(words.size());
  for (Word& word : words) {
    if (!joined.empty()) {
      Word& first = joined.back();
      const Word* before = joined.size() > 1 ? &joined[joined.size() - 2] : nullptr;
      if (const std::string* stem = joiningStem(first, word, before)) {
        first.length += word.length;
        first.morphemeCount += word.morphemeCount;
        first.reading = *stem + word.reading;
        continue;
      }
    }
    joined.push_back(std::move(word));
  }
  words = std::move(joined);
}

// A word of one run of two kanji or more, with its okurigana or none, takes the reading editors
// mostly gave it where the dictionary's differs: 生命 いのち, not せいめい; after お too (お正午
// おひる). Run before the choices that look at a word's neighbours, which know better.
void preferEditorsReadings(WordLookUps& lookUp, std::string_view utf8,
                           std::span<const Morpheme> morphemes, std::vector<Word>& words) {
  for (std::size_t w = 0; w < words.size(); ++w) {
    Word& word = words[w];
    const auto spelling = editorsSpellingOf(utf8.substr(word.offset, word.length));
    if (word.reading.empty()) {
      // Kanji the dictionary cannot read take any editor's reading (諸葛瑾 しょかつきん).
      if (spelling && spelling->honorific.empty()) {
        const std::string okurigana = toHiragana(spelling->rest);
        const std::string_view given = editorsOkuriganaReadingOf(spelling->kanji, okurigana);
        if (!given.empty()) word.reading = std::string(given) + okurigana;
      }
      continue;
    }
    if (!spelling || !word.reading.starts_with(spelling->honorific)) continue;
    const std::string_view honorific = spelling->honorific, kanji = spelling->kanji,
                           rest = spelling->rest;
    const std::string okurigana = toHiragana(rest);
    const std::string_view read = std::string_view(word.reading).substr(honorific.size());
    if (!read.ends_with(okurigana) || read.size() == okurigana.size()) continue;
    const std::string_view current = read.substr(0, read.size() - okurigana.size());
    // Editors' okurigana is the first kana after the base that is no particle, so a word before
    // such a kana is looked up under it first (莞爾して にっこり, where 莞爾として stays かんじ;
    // 胡坐した あぐら), then as a word alone. A noun the analyser finds before っ is older prose's
    // verb without its okurigana (沈黙って だまって, 交際って つきあって), read as editors read it
    // before that kana only.
    const std::string_view nextKana = okurigana.empty()
                                          ? okuriganaKanaOf(utf8.substr(word.offset + word.length))
                                          : std::string_view();
    const bool verbBeforeTsu = nextKana == "っ";
    const bool beforeKana = !nextKana.empty() && !verbBeforeTsu;
    const std::string_view key = nextKana.empty() ? std::string_view(okurigana) : nextKana;
    std::string_view given = editorsReadingOf(kanji, key, current);
    if (given.empty() && beforeKana) given = editorsReadingOf(kanji, {}, current);
    // After お, a reading that holds its own (副食物 おかず) is not read with a second, and a
    // word the dictionary knows with its お keeps that reading (お姉様 おねえさま, where 姉様
    // alone is older prose's あねさま).
    if (given.empty() || (!honorific.empty() && given.starts_with(honorific))) continue;
    if (!honorific.empty()) {
      const auto& known = lookUp(utf8.substr(word.offset, word.length)).ranked;
      if (std::find(known.begin(), known.end(), word.reading) != known.end()) continue;
    }
    // Editors' 可愛《かわい》い, counted under its okurigana's first kana, is no reading of the
    // 可愛 of 可愛いい: the dictionary's reading with that kana is the editors' one.
    if (!okurigana.empty() && given.size() > current.size() && given.starts_with(current) &&
        okurigana.starts_with(given.substr(current.size()))) {
      continue;
    }
    // Where the word list marks the dictionary's reading common, the editors' is often the older
    // prose's alone: a reading the list marks rare loses (人気 stays にんき, not ひとけ), and one
    // it lacks needs thirty authors (午後 stays ごご, not ひるすぎ; 生命 いのち, given by many
    // more, wins).
    if (okurigana.empty() && !verbBeforeTsu) {
      const auto& listed = lookUp(kanji).listed;
      auto listedAs = [&](std::string_view reading, bool common) {
        return std::any_of(listed.begin(), listed.end(), [&](const auto& r) {
          return r.reading == reading && r.common == common;
        });
      };
      // A place's name before its region is no common word (大分市 おおいた, not だいぶ).
      const bool placeBeforeRegion =
          word.morphemeCount == 1 && w + 1 < words.size() &&
          isRegionAfterPlace(morphemes[word.firstMorpheme],
                             utf8.substr(words[w + 1].offset, words[w + 1].length));
      if (placeBeforeRegion && listedAs(given, true)) continue;
      if (listedAs(current, true)) {
        if (listedAs(given, false)) continue;
        // Before a kana that is neither する nor the copula, the dictionary's reading makes no
        // word (断念めた is no だんねんめた, 不可ん no ふかん), so fewer authors will do; before
        // those it is a word of today (落胆した らくたん, 華美な かび).
        constexpr int kFewestAuthorsOfAGloss = 30;  // both chosen by measuring
        constexpr int kFewestAuthorsBeforeKana = 15;
        const std::size_t after = word.firstMorpheme + word.morphemeCount;
        const bool wordOfItsOwn = key == "な" || key == "だ" ||
                                  (after < morphemes.size() && morphemes[after].baseForm == "する");
        const auto glossed = [&](std::string_view before) {
          const int fewest =
              before.empty() || wordOfItsOwn ? kFewestAuthorsOfAGloss : kFewestAuthorsBeforeKana;
          return editorsReadingOf(kanji, before, current, fewest) == given;
        };
        if (!listedAs(given, true) && !glossed(key) && !(beforeKana && glossed({}))) continue;
      }
    }
    word.reading = std::string(honorific) + std::string(given) + okurigana;
  }
}

}  // namespace

void requireSourceMap(const CheckedText& text) {
  if (text.converted.sourceOf.size() != text.converted.text.size() + 1) {
    throw std::invalid_argument("the converted text has no source map");
  }
}

// Only words with a red kanji are proposed: a red Latin letter or symbol has no reading to give.
// A kanji stands in the grade or junior-high tables, or outside every table as an ideograph.
bool isKanji(const sjis::SjisChar& c, const checker::Classifier& classifier) {
  const std::optional<checker::Stage> stage = classifier.stageOf(c);
  if (!stage) return false;
  if (stage != checker::Stage::Beyond) return true;
  const char32_t character = sjis::Cp932::get().decode(c);
  return u_hasBinaryProperty(static_cast<UChar32>(character), UCHAR_IDEOGRAPHIC) != 0;
}

bool holdsRedKanji(const Proposal& p, const checker::Classifier& classifier) {
  return std::any_of(p.problems.begin(), p.problems.end(),
                     [&](const sjis::SjisChar& c) { return isKanji(c, classifier); });
}

std::vector<Proposal> propose(const Analyzer& analyzer, const CheckedText& text,
                              const checker::Classifier& classifier, ProposalScope scope) {
  const sjis::SjisText& sjisText = text.converted.text;
  const std::vector<std::uint32_t>& sourceOf = text.converted.sourceOf;
  requireSourceMap(text);
  const AnalysisText analysis = forAnalysis(text.utf8);
  const std::string_view analysed = analysis.toSource.empty() ? text.utf8 : analysis.text;
  const std::vector<Morpheme> morphemes = analyzer.parse(analysed);
  std::vector<Word> words = joinWords(analysed, morphemes);
  WordLookUps lookUp(analyzer);
  preferListedReadings(lookUp, analysed, morphemes, words);
  readOlderOkurigana(analysed, morphemes, words);
  readNativeWords(analysed, morphemes, words);
  preferEditorsReadings(lookUp, analysed, morphemes, words);
  readRoundedVerbs(analysed, morphemes, words);
  readByNeighbours(analysed, morphemes, words);
  readCompoundVerbs(analyzer, analysed, morphemes, words);
  joinSpeltOutKana(analysed, morphemes, words);
  splitAtOkurigana(analysed, words);
  splitCounts(analysed, words);
  if (!analysis.toSource.empty()) {
    for (Word& word : words) {
      const std::uint32_t begin = analysis.toSource[word.offset];
      word.length = analysis.toSource[word.offset + word.length] - begin;
      word.offset = begin;
    }
  }
  const std::vector<checker::TextColor> colours = coloursByByte(text.spans, sjisText.size());

  // A word's pieces, aligned once for each spelling and reading and moved to each place. A
  // placeholder pair (81 7F) stands for any character outside the code page, so a word holding
  // one is aligned where it stands.
  struct Aligned {
    std::string reading;
    std::vector<RubyPiece> pieces;  // from offset 0
  };
  std::unordered_map<std::string_view, std::vector<Aligned>> aligned;
  auto rubyOf = [&](std::size_t offset, std::size_t length, const std::string& reading) {
    const std::string_view spelling(sjisText.bytes.data() + offset, length);
    if (spelling.find('\x7F') != std::string_view::npos) {
      return alignRuby(wordChars(sjisText, offset, length), reading, offset);
    }
    std::vector<Aligned>& known = aligned[spelling];
    auto it = std::find_if(known.begin(), known.end(),
                           [&](const Aligned& a) { return a.reading == reading; });
    if (it == known.end()) {
      known.push_back({reading, alignRuby(wordChars(sjisText, offset, length), reading)});
      it = known.end() - 1;
    }
    std::vector<RubyPiece> pieces = it->pieces;
    for (RubyPiece& piece : pieces) piece.offset += offset;
    return pieces;
  };

  // Each character belongs to the word its source position falls in; both run in text order.
  std::vector<Proposal> proposals;
  std::size_t w = 0;
  std::optional<Gathered> current;
  std::size_t currentWord = 0;
  auto flush = [&] {
    if (!current) return;
    if (scope == ProposalScope::RedKanjiWords ? !current->redKanji : !current->anyKanji) return;
    const Word& word = words[currentWord];
    Proposal p;
    p.offset = current->begin;
    p.length = current->end - current->begin;
    const std::size_t from = sourceOf[current->begin];
    p.word = std::string(text.utf8.substr(from, sourceOf[current->end] - from));
    p.reading = hiraganaOrNothing(word.reading);
    p.ruby = rubyOf(p.offset, p.length, p.reading);
    p.problems = std::move(current->problems);
    for (const sjis::SjisChar& c : p.problems) {
      const std::optional<checker::Stage> stage = classifier.stageOf(c);
      if (stage > p.hardest) p.hardest = stage;
    }
    proposals.push_back(std::move(p));
  };

  sjis::forEachChar(sjisText, [&](std::size_t offset, const sjis::SjisChar& c) {
    const std::uint32_t source = sourceOf[offset];
    while (w < words.size() && words[w].offset + words[w].length <= source) ++w;
    const bool inWord = w < words.size() && words[w].offset <= source;
    if (!inWord) return;
    if (!current || currentWord != w) {
      flush();
      current = Gathered{offset, offset, {}};
      currentWord = w;
    }
    current->end = offset + c.length();
    const bool kanji = isKanji(c, classifier);
    current->anyKanji = current->anyKanji || kanji;
    if (colours[offset] == checker::TextColor::Red) {
      current->problems.push_back(c);
      current->redKanji = current->redKanji || kanji;
    }
  });
  flush();

  // Other readings the dictionary holds for the same word, then those editors often gave it
  // (往来 ゆきき, 午後 ひるすぎ), for older prose.
  for (Proposal& p : proposals) {
    const std::string_view surface = text.utf8.substr(sourceOf[p.offset], p.word.size());
    if (!p.reading.empty()) p.choices.push_back(p.reading);
    auto offer = [&](std::string reading) {
      if (isHiraganaReading(reading) &&
          std::find(p.choices.begin(), p.choices.end(), reading) == p.choices.end()) {
        p.choices.push_back(std::move(reading));
      }
    };
    for (const std::string& reading : lookUp(surface).ranked) offer(reading);
    if (const auto spelling = editorsSpellingOf(surface)) {
      const std::string okurigana = toHiragana(spelling->rest);
      for (const std::string_view given : editorsChoicesOf(spelling->kanji, okurigana)) {
        // After お, a reading that holds its own (正午 おひる) is not read again.
        if (!spelling->honorific.empty() && given.starts_with("お")) continue;
        offer(std::string(spelling->honorific) + std::string(given) + okurigana);
      }
    }
  }
  return proposals;
}

void setReading(Proposal& p, const sjis::SjisText& text, std::string reading) {
  p.reading = std::move(reading);
  p.ruby = alignRuby(wordChars(text, p.offset, p.length), p.reading, p.offset);
}

DecodedText decodeWithSourceMap(sjis::SjisText text) {
  DecodedText decoded;
  decoded.converted.text = std::move(text);
  const sjis::SjisText& kept = decoded.converted.text;
  decoded.converted.sourceOf.reserve(kept.size() + 1);
  decoded.utf8.reserve(kept.size() * 3 / 2);
  const sjis::Cp932& codePage = sjis::Cp932::get();
  sjis::forEachChar(kept, [&](std::size_t offset, const sjis::SjisChar& c) {
    // Trail bytes map to the position of their character.
    decoded.converted.sourceOf.resize(offset + c.length(),
                                      static_cast<std::uint32_t>(decoded.utf8.size()));
    sjis::appendUtf8(decoded.utf8, codePage.decode(c));
  });
  decoded.converted.sourceOf.resize(kept.size(), static_cast<std::uint32_t>(decoded.utf8.size()));
  decoded.converted.sourceOf.push_back(static_cast<std::uint32_t>(decoded.utf8.size()));
  return decoded;
}

}  // namespace torvane::reading
