#include "reading/proposals.h"

#include <algorithm>
#include <stdexcept>
#include <unordered_map>

#include <unicode/uchar.h>

#include "checker/colours.h"
#include "checker/levels.h"
#include "reading/editors_ruby.h"
#include "reading/joining.h"
#include "reading/kana.h"
#include "reading/listed_choice.h"
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

// Kanji in forms the dictionary does not know, read as the forms it knows: the jōyō list's 頰,
// 剝, 塡, 𠮟 outside code page 932 and the names and words older texts print (鷗外, 摑む,
// 蠟燭), and the old forms (旧字体) of the jōyō kanji that texts of before 1946 keep in names and
// words (與太郎 よたろう, 鷄 にわとり, 行燈 あんどん), and a few variants they print (嶋, 峯, 烟,
// 寐). The word and its ruby keep the text's own.
constexpr std::pair<char32_t, char32_t> kFoldedForms[] = {
    {U'乘', U'乗'}, {U'亂', U'乱'}, {U'亞', U'亜'}, {U'佛', U'仏'}, {U'來', U'来'}, {U'假', U'仮'},
    {U'傳', U'伝'}, {U'僞', U'偽'}, {U'價', U'価'}, {U'儉', U'倹'}, {U'兒', U'児'}, {U'兔', U'兎'},
    {U'兩', U'両'}, {U'冨', U'富'}, {U'凉', U'涼'}, {U'剝', U'剥'}, {U'剩', U'剰'}, {U'劍', U'剣'},
    {U'劑', U'剤'}, {U'勞', U'労'}, {U'勳', U'勲'}, {U'勵', U'励'}, {U'勸', U'勧'}, {U'區', U'区'},
    {U'卷', U'巻'}, {U'參', U'参'}, {U'單', U'単'}, {U'嚴', U'厳'}, {U'囘', U'回'}, {U'圈', U'圏'},
    {U'國', U'国'}, {U'圍', U'囲'}, {U'圓', U'円'}, {U'圖', U'図'}, {U'團', U'団'}, {U'塡', U'填'},
    {U'墮', U'堕'}, {U'壓', U'圧'}, {U'壘', U'塁'}, {U'壞', U'壊'}, {U'壤', U'壌'}, {U'壯', U'壮'},
    {U'壹', U'壱'}, {U'壽', U'寿'}, {U'奧', U'奥'}, {U'奬', U'奨'}, {U'孃', U'嬢'}, {U'學', U'学'},
    {U'寐', U'寝'}, {U'寢', U'寝'}, {U'實', U'実'}, {U'寫', U'写'}, {U'寶', U'宝'}, {U'將', U'将'},
    {U'專', U'専'}, {U'對', U'対'}, {U'屆', U'届'}, {U'屬', U'属'}, {U'峯', U'峰'}, {U'峽', U'峡'},
    {U'嶋', U'島'}, {U'嶽', U'岳'}, {U'巖', U'巌'}, {U'帶', U'帯'}, {U'廢', U'廃'}, {U'廣', U'広'},
    {U'廳', U'庁'}, {U'彈', U'弾'}, {U'彌', U'弥'}, {U'徑', U'径'}, {U'從', U'従'}, {U'德', U'徳'},
    {U'恆', U'恒'}, {U'惠', U'恵'}, {U'惡', U'悪'}, {U'惱', U'悩'}, {U'愼', U'慎'}, {U'慘', U'惨'},
    {U'應', U'応'}, {U'懷', U'懐'}, {U'戀', U'恋'}, {U'戰', U'戦'}, {U'戲', U'戯'}, {U'拂', U'払'},
    {U'拔', U'抜'}, {U'拜', U'拝'}, {U'挾', U'挟'}, {U'插', U'挿'}, {U'搔', U'掻'}, {U'搖', U'揺'},
    {U'搜', U'捜'}, {U'摑', U'掴'}, {U'擇', U'択'}, {U'擔', U'担'}, {U'據', U'拠'}, {U'擧', U'挙'},
    {U'擴', U'拡'}, {U'攝', U'摂'}, {U'收', U'収'}, {U'效', U'効'}, {U'敍', U'叙'}, {U'數', U'数'},
    {U'斷', U'断'}, {U'晉', U'晋'}, {U'晝', U'昼'}, {U'曉', U'暁'}, {U'會', U'会'}, {U'栁', U'柳'},
    {U'條', U'条'}, {U'棧', U'桟'}, {U'榮', U'栄'}, {U'樂', U'楽'}, {U'樓', U'楼'}, {U'樞', U'枢'},
    {U'樣', U'様'}, {U'檢', U'検'}, {U'櫻', U'桜'}, {U'權', U'権'}, {U'歐', U'欧'}, {U'歡', U'歓'},
    {U'步', U'歩'}, {U'歸', U'帰'}, {U'殘', U'残'}, {U'殼', U'殻'}, {U'毆', U'殴'}, {U'每', U'毎'},
    {U'氣', U'気'}, {U'沒', U'没'}, {U'淨', U'浄'}, {U'淺', U'浅'}, {U'溪', U'渓'}, {U'滯', U'滞'},
    {U'滿', U'満'}, {U'潛', U'潜'}, {U'澁', U'渋'}, {U'澤', U'沢'}, {U'濕', U'湿'}, {U'濟', U'済'},
    {U'濱', U'浜'}, {U'瀧', U'滝'}, {U'灣', U'湾'}, {U'烟', U'煙'}, {U'燈', U'灯'}, {U'燒', U'焼'},
    {U'營', U'営'}, {U'爐', U'炉'}, {U'爭', U'争'}, {U'爲', U'為'}, {U'犧', U'犠'}, {U'狹', U'狭'},
    {U'獨', U'独'}, {U'獵', U'猟'}, {U'獸', U'獣'}, {U'獻', U'献'}, {U'瓣', U'弁'}, {U'甁', U'瓶'},
    {U'畫', U'画'}, {U'當', U'当'}, {U'疊', U'畳'}, {U'瘦', U'痩'}, {U'癡', U'痴'}, {U'發', U'発'},
    {U'皈', U'帰'}, {U'盜', U'盗'}, {U'盡', U'尽'}, {U'眞', U'真'}, {U'碎', U'砕'}, {U'祕', U'秘'},
    {U'禪', U'禅'}, {U'禮', U'礼'}, {U'稱', U'称'}, {U'稻', U'稲'}, {U'穗', U'穂'}, {U'穩', U'穏'},
    {U'竊', U'窃'}, {U'竒', U'奇'}, {U'竝', U'並'}, {U'粹', U'粋'}, {U'絲', U'糸'}, {U'經', U'経'},
    {U'綠', U'緑'}, {U'縣', U'県'}, {U'縱', U'縦'}, {U'總', U'総'}, {U'繩', U'縄'}, {U'繪', U'絵'},
    {U'繫', U'繋'}, {U'繼', U'継'}, {U'續', U'続'}, {U'纖', U'繊'}, {U'缺', U'欠'}, {U'罐', U'缶'},
    {U'聰', U'聡'}, {U'聲', U'声'}, {U'聽', U'聴'}, {U'肅', U'粛'}, {U'腦', U'脳'}, {U'膽', U'胆'},
    {U'臟', U'臓'}, {U'臺', U'台'}, {U'與', U'与'}, {U'舊', U'旧'}, {U'舍', U'舎'}, {U'舖', U'舗'},
    {U'舩', U'船'}, {U'艷', U'艶'}, {U'莊', U'荘'}, {U'莖', U'茎'}, {U'萬', U'万'}, {U'藏', U'蔵'},
    {U'藝', U'芸'}, {U'藥', U'薬'}, {U'處', U'処'}, {U'號', U'号'}, {U'螢', U'蛍'}, {U'蟲', U'虫'},
    {U'蠟', U'蝋'}, {U'蠶', U'蚕'}, {U'蠻', U'蛮'}, {U'衞', U'衛'}, {U'裝', U'装'}, {U'覺', U'覚'},
    {U'覽', U'覧'}, {U'觀', U'観'}, {U'觸', U'触'}, {U'謠', U'謡'}, {U'證', U'証'}, {U'譯', U'訳'},
    {U'譽', U'誉'}, {U'讀', U'読'}, {U'變', U'変'}, {U'讓', U'譲'}, {U'豐', U'豊'}, {U'豫', U'予'},
    {U'貳', U'弐'}, {U'賣', U'売'}, {U'賴', U'頼'}, {U'贊', U'賛'}, {U'躰', U'体'}, {U'輕', U'軽'},
    {U'轉', U'転'}, {U'辨', U'弁'}, {U'辭', U'辞'}, {U'辯', U'弁'}, {U'遞', U'逓'}, {U'遲', U'遅'},
    {U'邉', U'辺'}, {U'邊', U'辺'}, {U'醉', U'酔'}, {U'醫', U'医'}, {U'醬', U'醤'}, {U'釀', U'醸'},
    {U'釋', U'釈'}, {U'錄', U'録'}, {U'錢', U'銭'}, {U'鎭', U'鎮'}, {U'鐵', U'鉄'}, {U'鑄', U'鋳'},
    {U'鑛', U'鉱'}, {U'關', U'関'}, {U'陷', U'陥'}, {U'隨', U'随'}, {U'險', U'険'}, {U'隱', U'隠'},
    {U'雙', U'双'}, {U'雜', U'雑'}, {U'霸', U'覇'}, {U'靈', U'霊'}, {U'靜', U'静'}, {U'頰', U'頬'},
    {U'顏', U'顔'}, {U'顯', U'顕'}, {U'飜', U'翻'}, {U'飮', U'飲'}, {U'餘', U'余'}, {U'騷', U'騒'},
    {U'驅', U'駆'}, {U'驗', U'験'}, {U'驛', U'駅'}, {U'髓', U'髄'}, {U'體', U'体'}, {U'髙', U'高'},
    {U'髮', U'髪'}, {U'鬪', U'闘'}, {U'鷄', U'鶏'}, {U'鷗', U'鴎'}, {U'鹽', U'塩'}, {U'麥', U'麦'},
    {U'默', U'黙'}, {U'點', U'点'}, {U'黨', U'党'}, {U'齊', U'斉'}, {U'齋', U'斎'}, {U'齒', U'歯'},
    {U'齡', U'齢'}, {U'龍', U'竜'}, {U'龜', U'亀'}, {U'﨑', U'崎'}, {U'𠮟', U'叱'},
};
static_assert(std::ranges::is_sorted(kFoldedForms, {}, &std::pair<char32_t, char32_t>::first));

// The form the dictionary knows a character by, or 0 when it is its own.
char32_t foldedForm(char32_t c) {
  const auto* it =
      std::ranges::lower_bound(kFoldedForms, c, {}, &std::pair<char32_t, char32_t>::first);
  return it != std::end(kFoldedForms) && it->first == c ? it->second : 0;
}

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
    // One morpheme alone may still be the list's (好く, the adverb よく).
    const std::string_view first = utf8.substr(parts[0].offset, parts[0].length);
    const bool verb = parts.size() > 1 && parts[0].partOfSpeech == "動詞,自立" &&
                      !word.reading.empty() && isAllKana(surface.substr(first.size()));
    if (const Known& whole = lookUp(surface); !whole.listed.empty() && !verb) {
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

// A word is cut where kana that follow a kanji are followed by a kanji again: a compound verb
// the dictionary holds whole (降り出す, 飛び上がる), a noun (生け捕り, 売り場, 休み時間, 気の毒).
// Editors put ruby on each run of kanji, with its okurigana, and children's books print it so.
// Each part reads the share of the reading its ruby pieces give it (売り場's 場 is ば); where a
// piece spans the cut (a reading the dictionaries give only whole) the word stays whole.
void splitAtOkurigana(std::string_view utf8, std::vector<Word>& words) {
  std::vector<Word> out;
  // A cut adds a word, and words with a cut are far fewer than one in eight: the words are
  // moved once, not once more when the vector grows.
  out.reserve(words.size() + words.size() / 8);
  for (Word& word : words) {
    const std::string_view surface = utf8.substr(word.offset, word.length);
    if (word.reading.empty()) {
      out.push_back(std::move(word));
      continue;
    }
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
    if (cuts.empty()) {
      out.push_back(std::move(word));
      continue;
    }
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
    if (whole) {
      out.push_back(std::move(word));
      continue;
    }
    cuts.push_back(surface.size());
    std::vector<Word> parts;
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
    if (!kanaOutside || spelt != word.reading) {
      out.push_back(std::move(word));
      continue;
    }
    for (Word& part : parts) out.push_back(std::move(part));
  }
  words = std::move(out);
}

// A word of one run of two kanji or more, with its okurigana or none, takes the reading editors
// of children's books mostly gave it where the dictionary's differs: 生命 いのち, not せいめい.
// Run before the choices that look at a word's neighbours, which know better.
void preferEditorsReadings(WordLookUps& lookUp, std::string_view utf8, std::vector<Word>& words) {
  for (Word& word : words) {
    if (word.reading.empty()) continue;
    const std::string_view surface = utf8.substr(word.offset, word.length);
    std::size_t kanjiEnd = 0, kanjiCount = 0;
    while (kanjiEnd < surface.size()) {
      const Utf8Char c = utf8CharAt(surface, kanjiEnd);
      if (!isKanji(c.value)) break;
      kanjiEnd += c.length;
      ++kanjiCount;
    }
    // One kanji alone is read by what the analyser makes of its sentence (人 ひと, 三人 にん;
    // 入って はいって, 気に入って いって), which editors' ruby, given mostly where the reading is
    // the rarer one, would undo. Counted words keep the counting rules' reading (一個 いっこ, not
    // the older ひとつ).
    if (kanjiCount < 2 || numberValue(surface.substr(0, utf8CharAt(surface, 0).length))) continue;
    const std::string_view kanji = surface.substr(0, kanjiEnd), rest = surface.substr(kanjiEnd);
    const std::string okurigana = toHiragana(rest);
    if (!rest.empty() && !isAllKana(rest)) continue;
    if (!word.reading.ends_with(okurigana) || word.reading.size() == okurigana.size()) continue;
    const std::string_view firstKana =
        rest.substr(0, rest.empty() ? 0 : utf8CharAt(rest, 0).length);
    const std::string_view current =
        std::string_view(word.reading).substr(0, word.reading.size() - okurigana.size());
    const std::string_view given = editorsReadingOf(kanji, firstKana, current);
    if (given.empty()) continue;
    // Where the word list marks the dictionary's reading common and the editors' rare, the
    // editors' is the older prose's: 人気 stays にんき, not ひとけ.
    if (okurigana.empty()) {
      const auto& listed = lookUp(kanji).listed;
      auto common = [&](std::string_view reading) {
        return std::any_of(listed.begin(), listed.end(),
                           [&](const auto& r) { return r.reading == reading && r.common; });
      };
      auto rare = [&](std::string_view reading) {
        return std::any_of(listed.begin(), listed.end(),
                           [&](const auto& r) { return r.reading == reading && !r.common; });
      };
      if (common(current) && rare(given)) continue;
    }
    word.reading = std::string(given) + okurigana;
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
  preferEditorsReadings(lookUp, analysed, words);
  readByNeighbours(analysed, morphemes, words);
  splitAtOkurigana(analysed, words);
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

  // Other readings the dictionary holds for the same word.
  for (Proposal& p : proposals) {
    const std::vector<std::string>& ranked =
        lookUp(text.utf8.substr(sourceOf[p.offset], p.word.size())).ranked;
    if (!p.reading.empty()) p.choices.push_back(p.reading);
    for (const std::string& reading : ranked) {
      if (reading != p.reading && isHiraganaReading(reading)) p.choices.push_back(reading);
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
