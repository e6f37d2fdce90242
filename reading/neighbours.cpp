#include "reading/neighbours.h"

#include <algorithm>
#include <iterator>
#include <span>
#include <string>

#include "reading/kana.h"
#include "reading/numbers.h"

namespace torvane::reading {
namespace {

// Whether a sentence ends between word j - 1 and word j: at its stop, a quotation's bracket or a
// line break.
bool sentenceEndsBefore(std::string_view utf8, const std::vector<Word>& words, std::size_t j) {
  const std::string_view last = utf8.substr(words[j - 1].offset, words[j - 1].length);
  const std::size_t end = words[j - 1].offset + words[j - 1].length;
  return last == "。" || last == "！" || last == "？" || last == "「" || last == "」" ||
         utf8.substr(end, words[j].offset - end).find('\n') != std::string_view::npos;
}

// Whether a word of word i's sentence, at most `reach` words before or after it, is one `near`
// accepts. The reach keeps the scan short on text without punctuation.
template <class Near>
bool nearInSentence(std::string_view utf8, const std::vector<Word>& words, std::size_t i,
                    std::size_t reach, Near near) {
  auto at = [&](std::size_t j) { return utf8.substr(words[j].offset, words[j].length); };
  for (std::size_t j = i; j > 0 && i - j < reach && !sentenceEndsBefore(utf8, words, j); --j) {
    if (near(at(j - 1))) return true;
  }
  for (std::size_t j = i + 1;
       j < words.size() && j - i <= reach && !sentenceEndsBefore(utf8, words, j); ++j) {
    if (near(at(j))) return true;
  }
  return false;
}

// Whether `word` holds one of `parts`.
bool holdsAny(std::string_view word, std::span<const std::string_view> parts) {
  return std::any_of(parts.begin(), parts.end(),
                     [&](std::string_view p) { return word.find(p) != std::string_view::npos; });
}

}  // namespace

void readCorners(std::string_view utf8, std::vector<Word>& words) {
  static constexpr std::string_view kHorned[] = {"鹿", "牛", "羊", "山羊", "鬼", "獣", "犀"};
  static constexpr std::string_view kMeasuring[] = {"角形", "分度器", "角度", "直角",  "鋭角",
                                                    "鈍角", "頂点",   "測",   "大きさ"};
  auto at = [&](std::size_t i) { return utf8.substr(words[i].offset, words[i].length); };
  auto horned = [](std::string_view word) {
    return std::any_of(std::begin(kHorned), std::end(kHorned),
                       [&](std::string_view animal) { return word.ends_with(animal); });
  };
  auto measuring = [](std::string_view word) { return holdsAny(word, kMeasuring); };
  constexpr std::size_t kReach = 16;  // words either side, within the sentence
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (at(i) != "角") continue;
    if (i + 2 < words.size()) {
      const std::string_view particle = at(i + 1), next = at(i + 2);
      if ((particle == "を" || particle == "に" || particle == "で" || particle == "の") &&
          (next.starts_with("曲") || next.starts_with("折"))) {
        words[i].reading = "かど";
        continue;
      }
      if ((particle == "の" || particle == "が") &&
          (next.starts_with("生え") || next.starts_with("はえ"))) {
        words[i].reading = "つの";
        continue;
      }
    }
    if (nearInSentence(utf8, words, i, kReach, horned)) {
      words[i].reading = "つの";
    } else if (!nearInSentence(utf8, words, i, kReach, measuring)) {
      words[i].reading = "かど";
    }
  }
}

namespace {

// What is done with a bed, after the particle: 床に就く, 床を敷く, 床から起きる.
std::span<const std::string_view> inBed(std::string_view particle) {
  static constexpr std::string_view kGoneTo[] = {"就", "つ", "入", "はい", "休", "臥", "伏"};
  static constexpr std::string_view kMadeOrLeft[] = {"敷",     "しい", "しき", "延",   "のべ",
                                                     "取",     "とっ", "とり", "とる", "離",
                                                     "はなれ", "上げ", "あげ", "払"};
  static constexpr std::string_view kRisenFrom[] = {"起", "おき", "出", "離", "はなれ"};
  static constexpr std::string_view kWithin[] = {"中", "なか", "内", "うち"};
  if (particle == "に" || particle == "へ") return kGoneTo;
  if (particle == "を") return kMadeOrLeft;
  if (particle == "から") return kRisenFrom;
  if (particle == "の") return kWithin;
  return {};
}

// Kanji whose noun older prose writes without its okurigana (考 for 考え), where the analyser
// reads them on as a word alone: the noun, else null.
const std::string_view* verbNounStandingAlone(std::string_view word) {
  static constexpr std::pair<std::string_view, std::string_view> kNouns[] = {
      {"考", "かんがえ"}, {"疑", "うたがい"}, {"望", "のぞみ"}, {"流", "ながれ"},
      {"積", "つもり"},   {"使", "つかい"},   {"教", "おしえ"}};
  for (const auto& [kanji, noun] : kNouns) {
    if (word == kanji) return &noun;
  }
  return nullptr;
}

// A month's name as so many months, a stretch older prose writes without ヶ (一月ほど ひとつき);
// empty for any other word.
std::string_view monthsLong(std::string_view word) {
  static constexpr std::pair<std::string_view, std::string_view> kMonths[] = {
      {"一月", "ひとつき"}, {"二月", "ふたつき"}, {"三月", "みつき"}, {"四月", "よつき"},
      {"五月", "いつつき"}, {"六月", "むつき"},   {"十月", "とつき"}, {"幾月", "いくつき"}};
  for (const auto& [month, stretch] : kMonths) {
    if (word == month) return stretch;
  }
  return {};
}

// Whether a word ends in a kanji or katakana, so that a kanji after it may be its compound's.
bool endsInKanjiOrKatakana(std::string_view word) {
  if (word.empty()) return false;
  std::size_t last = 0;
  for (std::size_t i = 0; i < word.size(); i += utf8CharAt(word, i).length) last = i;
  const char32_t c = utf8CharAt(word, last).value;
  return isKanji(c) || (c >= U'ァ' && c <= U'ヺ') || c == U'ー';
}

}  // namespace

// - 側 alone after の or を and before に or へ is beside it, そば (年寄の側に坐る, 箱を側へ
//   置く), as older children's prose means it far more often; the side of a thing is mostly a
//   compound (右側, 向こう側) and keeps がわ, though 箱の側に書く loses it.
// - 上る out of water (湯から上る) or into a house, a room or a school (二階へ上る, 縁側に上る,
//   女学校へ上る) is あがる; up a hill, a tree or a stair it stays のぼる (麓から上る).
// - 一足 is a step, ひとあし (一足も歩けない, 一足先に), unless footwear is near (靴下を一足).
// - 勢 alone is the force of a thing, いきおい (その勢で); after a name and の it is an army,
//   ぜい (武田の勢), as 武田勢 is.
// - その中に before a pause or a new topic is meanwhile, うち; else the inside, なか.
// - 画 alone is a picture, え, as older prose writes 絵.
// - 何時でも is always, いつでも, as 何時も is; 何時ですか asks the hour.
// - 了う after a verb's て is しまう, as older prose writes it (帰って了った).
// - お妃 is a queen, おきさき, not the suffix ひ; 機 woven on is a loom, はた (機を織る).
// - A lie, an insult or a sigh is told, つく (嘘を吐く, 悪態を吐き, 溜息を吐いた); a stomach is
//   empty, すく (お腹が空く).
// - 源 before ちゃん, どん or さん is a given name cut short, げん (源ちゃん), not the clan.
// - 夜 that grows late or its dawn is よ (夜がふける, 夜のあけるまで); the sun is 陽, ひ
//   (陽が高い); 翌る is あくる (翌る日); 他 alone is ほか (他に客は無い).
// - 当 of 当もなく, 当のない is あて; 主 alone is the master, あるじ (旅館の主), or, said to be the
//   chief part, しゅ (主である), never おも but in 主な and 主に; 罰 is
//   ばつ (罰として) but where it strikes (罰が当たる).
// - 気 after an adjective's stem is げ (優し気に); 死に after a verb's stem in kana is じに
//   (うえ死に).
// - 外 is other than, ほか, after その or より, before a denial (その外に, 弟の外ない, 外にはない)
//   and in sayings (殊の外).
// - 術 before a denial is a way, すべ (なす術もない, 術がなかった); 踵 turned is きびす (踵を返す).
// - 香 of a thing is its scent, か (檜の香, 酒の香); the incense one burns stays こう (香を焚く).
// - 堪える is to bear, たえる (見るに堪えない, 堪えられない), or to hold back, こらえる (涙を堪え,
//   じっと堪えて); the dictionary's こたえる is mostly written 応える.
// - 有って after を is older prose's 以て, もって (力を有って).
// - 行 straight before た or て is the verb of going as dialects say it (行たて, 行て), い; a line
//   of text, ぎょう, takes no such ending.
// - 何 before だ, で, と, て, の or ぞ is なん (何だって, 何て顔, 何とも, 何の話), as the analyser
//   reads 何だ alone.
// - 中 straight after a verb is the while of it, うち (見ている中に, 終らぬ中に); a thing's inside
//   follows の.
// - 間 is ま in its sayings (間が悪い, 間をおいて) and as a room (奥の間, 次の間).
// - 面 lifted, lowered or turned is the face, おもて (面を上げる), and so is water's (水の面);
//   its skin is つら (面の皮).
// - 下り before た, て or ない is 下りる, おりる (下りたり, 下りない): 下る would say 下った.
// - What opens of itself, 開く after が, は, も or の, is あく (口が開いた, 戸が開かない), and so
//   is the mouth left open (開いた口) and what opens with a sound (ガラリと開いた); a flower opens
//   and a meeting is held, ひらく (会が開かれた).
// - 得 before べし is う (為し得べき, 敵し得べくもない), as classical prose conjugates it; 守 alone
//   after の is the title, かみ (加藤の守), where guarding takes its り (家の守り).
// - 金 paid, lent, earned or lacked is money, かね (金を払う, 金がない, 金で買う); the metal stays
//   きん (金の鎖).
// - その後から is behind, そのあと: what follows その後 in time takes no から.
// - 今日は said on its own is the greeting, こんにちは (「今日は」, 今日は！).
// - 潜る through a thing is くぐる (門を潜る, 暖簾を潜って); into water it stays もぐる.
// - 考, 疑, 望, 流, 積, 使 and 教 alone before a particle are older prose's nouns of their verbs
//   (私の考では かんがえ, 疑の余地 うたがい), not after a kanji (威望) or katakana (キリスト教).
// - 風 after こんな or という is a manner, ふう; 是 alone is これ but in 是が非; 件 before の is
//   くだん (件の男) but after この; 妾 is the speaker, わたし, before は or が, else めかけ.
// - 床 one goes to, makes, leaves or lies in is a bed, とこ (床に就く, 床を離れる, 床の中).
// - 外 before の and a person or a thing is other, ほか (外の者); 音 of a flute, a bell or an
//   insect is ね (笛の音, 虫の音); 中 of a stretch of the day is うち (昼の中に).
// - あの方 is a person, かた, and 方 after a title the plural がた (おばあさん方, 先生方); 彼の人
//   is あの; 体の好い is てい; 今日 of these days is こんにち (今日では, 今日の日本).
// - Older prose's 宅 alone is うち, 左 before れば or ほど さ, 否 いな (a speaker's 「否、 いいえ),
//   如何 before 云う or した どう.
// - 面 alone is a face or a surface, おもて, つら before が or だ; お面 and 面と stay めん.
void readByNeighbours(std::string_view utf8, std::span<const Morpheme> morphemes,
                      std::vector<Word>& words) {
  static constexpr std::string_view kIndoors[] = {"階",   "座敷", "縁", "校",  "家",
                                                  "部屋", "岸",   "陸", "舞台"};
  static constexpr std::string_view kWater[] = {"湯", "風呂", "水", "海", "川", "池", "舟", "船"};
  static constexpr std::string_view kTurned[] = {"返", "かえ", "回", "めぐ"};
  static constexpr std::string_view kLookingBack[] = {"振", "ふり", "見", "顧", "かえり"};
  static constexpr std::string_view kStretchesOfTime[] = {"年", "日", "月", "時間", "週間", "刻"};
  static constexpr std::string_view kHeartAndMind[] = {"心", "胸", "腹"};
  // Stretches of a day or a season: within them, の中 is うち (昼の中に, 其日の中に).
  static constexpr std::string_view kTimesOfDay[] = {"昼",   "ひる", "朝",   "宵",   "日",
                                                     "晩",   "寒",   "暑",   "夕方", "午前",
                                                     "午後", "今年", "今月", "今週"};
  static constexpr std::string_view kLeaveTaken[] = {"告", "つげ", "乞", "請", "こ"};
  // What one stands under as under a rule, in broad light, or at a single stroke: の下 もと.
  static constexpr std::string_view kRuledOrStruck[] = {
      "条件", "事情", "口実", "名義", "名目", "制度", "主義", "運命", "状態",
      "状況", "美名", "白日", "青天", "炎天", "月光", "一刀", "一撃", "一言"};
  static constexpr std::string_view kSighs[] = {"嘘",   "うそ",   "虚言", "悪態", "悪体",
                                                "溜息", "ため息", "吐息", "嘆息", "太息"};
  static constexpr std::string_view kAvenged[] = {"討", "う", "取", "と"};
  static constexpr std::string_view kBad[] = {"悪", "わる"};
  static constexpr std::string_view kBrief[] = {"ちょっと", "ちっと", "ちょいと", "しばらく",
                                                "暫く",     "少し",   "一寸"};
  // What night does in set phrases: 夜が明ける, 夜が更ける; 夜を明かす, 夜を更かす.
  static constexpr std::string_view kNightPassing[] = {"明け", "あけ", "更け", "ふけ"};
  static constexpr std::string_view kNightPassed[] = {"明か", "あか", "更か", "ふか"};
  // What unfolds as it opens, ひらく: 花が開く.
  static constexpr std::string_view kUnfolding[] = {"花", "蕾", "つぼみ", "傘"};
  static constexpr std::string_view kMoon[] = {"月"};
  // What says of what sort a thing is, before 風 ふう: こんな風, という風.
  static constexpr std::string_view kSuchAs[] = {"こんな",   "そんな",   "あんな",   "どんな",
                                                 "こういう", "そういう", "ああいう", "どういう",
                                                 "という",   "いう",     "といった"};
  static constexpr std::string_view kDemonstratives[] = {"この", "その", "あの", "どの"};
  // What 今日 こんにち, these days, is said of: 今日の日本, 今日の学生.
  static constexpr std::string_view kOfTheseDays[] = {"日本", "学生",   "社会", "世界", "文明",
                                                      "言葉", "ことば", "状態", "我々", "時代",
                                                      "科学", "文化",   "青年", "教育"};
  // Titles and people that 方 makes plural, がた: おばあさん方, 先生方.
  static constexpr std::string_view kAddressed[] = {"さん", "様", "さま", "婦人", "先生", "殿"};
  // What follows older prose's 左, so, read さ: 左れば, 左ほど, 左まで.
  static constexpr std::string_view kSoAs[] = {"れ", "ほど", "程", "まで", "迄"};
  // What follows 如何 read どう: 如何云う, 如何した, 如何かして, 如何だ.
  static constexpr std::string_view kSaidOrDone[] = {"云", "言", "いう", "いっ", "し", "仕",
                                                     "か", "も", "だ",   "です", "す", "致"};
  // What sounds a note, ね, rather than a noise: 笛の音, 虫の音, 鐘の音.
  static constexpr std::string_view kSoundingNotes[] = {
      "笛",     "ふえ", "琴",   "鐘",     "かね",     "鉦",         "鈴",           "虫",
      "三味線", "尺八", "琵琶", "びわ",   "楽",       "胡弓",       "鼓",           "絃",
      "弦",     "糸",   "鶯",   "ピアノ", "オルガン", "バイオリン", "ヴァイオリン", "楽器"};
  // What tells a stretch of months from a month's name: 一月ほど, 三月も経つ, 五月目.
  static constexpr std::string_view kForAStretch[] = {"ほど",   "程", "ばかり", "許", "経", "たっ",
                                                      "足らず", "振", "ぶり",   "余", "目"};
  // What follows older prose's 持て, 持って, but not 持てる's 持て: 持て来る, 持て生れた.
  static constexpr std::string_view kGoingOrComing[] = {"来", "行", "居", "生", "帰", "出", "参"};
  // What 音 is raised by when one gives up, ね: 音を上げる, 音をあげた.
  static constexpr std::string_view kRaised[] = {"あげ", "上げ"};
  // What passes after a stretch of months and も: 三月も経つ, 一月も過ぎる.
  static constexpr std::string_view kTimePassing[] = {"経", "たっ", "たつ", "かか", "過", "すぎ"};
  // What follows 初 alone as the beginning, はじめ: 初は, 初から, 初のうち.
  static constexpr std::string_view kFromTheStart[] = {"は", "から", "より", "て", "で", "に"};
  static constexpr std::string_view kEarlyOn[] = {"うち", "内", "頃", "ころ"};
  static constexpr std::string_view kFootwear[] = {
      "靴", "下駄", "草履", "足袋", "草鞋", "スリッパ", "サンダル", "ブーツ", "ソックス"};
  auto at = [&](std::size_t i) { return utf8.substr(words[i].offset, words[i].length); };
  auto endsWithOneOf = [](std::string_view w, std::span<const std::string_view> ends) {
    return std::any_of(ends.begin(), ends.end(),
                       [&](std::string_view e) { return w.ends_with(e); });
  };
  auto isOneOf = [](std::string_view w, std::span<const std::string_view> words) {
    return std::find(words.begin(), words.end(), w) != words.end();
  };
  auto startsWithOneOf = [](std::string_view w, std::span<const std::string_view> starts) {
    return std::any_of(starts.begin(), starts.end(),
                       [&](std::string_view b) { return w.starts_with(b); });
  };
  auto lastMorphemeOf = [&](std::size_t j) -> const Morpheme& {
    return morphemes[words[j].firstMorpheme + words[j].morphemeCount - 1];
  };
  // Whether word j ends in a verb, an adjective or a helper verb as it stands before a noun;
  // j past the end (the word before the first) never does.
  auto endsInAVerb = [&](std::size_t j) {
    if (j >= words.size()) return false;
    const Morpheme& last = lastMorphemeOf(j);
    const bool verb = last.partOfSpeech.starts_with("動詞") ||
                      last.partOfSpeech.starts_with("助動詞") ||
                      last.partOfSpeech.starts_with("形容詞");
    return verb && (last.conjugation == "基本形" || last.conjugation == "体言接続");
  };
  // Whether word i follows a sound or a manner and と (ガラリと, すっと): a door or a lid opening.
  auto openedWithASound = [&](std::size_t i) {
    if (i == 0 || !at(i - 1).ends_with("と")) return false;
    const std::string_view pos = lastMorphemeOf(i - 1).partOfSpeech;
    return pos.starts_with("副詞") || pos == "助詞,副詞化";
  };
  auto caseParticle = [](std::string_view w) {
    static constexpr std::string_view kParticleWords[] = {"が", "の", "に",   "を",  "は",
                                                          "も", "へ", "には", "より"};
    return std::find(std::begin(kParticleWords), std::end(kParticleWords), w) !=
           std::end(kParticleWords);
  };
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string_view word = at(i);
    const std::string_view before = i > 0 ? at(i - 1) : std::string_view();
    const std::string_view after = i + 1 < words.size() ? at(i + 1) : std::string_view();
    const std::string_view afterNext = i + 2 < words.size() ? at(i + 2) : std::string_view();
    // Whether the word is said of a noun that ends as one of `nouns` does: 心 / の / 中.
    auto ofOneOf = [&](std::span<const std::string_view> nouns) {
      return before == "の" && i >= 2 && endsWithOneOf(at(i - 2), nouns);
    };
    if (const std::string_view* noun = verbNounStandingAlone(word);
        noun != nullptr && !endsInKanjiOrKatakana(before) && i + 1 < words.size() &&
        morphemes[words[i + 1].firstMorpheme].partOfSpeech.starts_with("助") &&
        !(word == "望" && ofOneOf(kMoon))) {
      // Before a particle or だ: 私の考では かんがえ, 疑の余地 うたがい; 月の望 stays もち.
      words[i].reading = *noun;
    } else if (word == "勢") {
      const bool army = before == "の" && i >= 2 &&
                        morphemes[words[i - 2].firstMorpheme].partOfSpeech == "名詞,固有名詞";
      words[i].reading = army ? "ぜい" : "いきおい";
    } else if (word.starts_with("了") && words[i].reading.starts_with("おわ") && i > 0 &&
               (before.ends_with("て") || before.ends_with("で")) &&
               morphemes[words[i - 1].firstMorpheme].partOfSpeech.starts_with("動詞")) {
      words[i].reading.replace(0, std::string_view("おわ").size(), "しま");
    } else if (word == "中" && (before == "その" || before == "この") && after == "に" &&
               i + 2 < words.size()) {
      // その中に, meanwhile, before a pause or a new topic: その中に、皆は / その中に豚吉は.
      const bool subject = i + 3 < words.size() &&
                           morphemes[words[i + 2].firstMorpheme].partOfSpeech.starts_with("名詞") &&
                           at(i + 3) == "は";  // その中に鳥がいた is inside
      if (at(i + 2) == "、" || subject) words[i].reading = "うち";
    } else if (const std::string_view months = monthsLong(word);
               !months.empty() && words[i].reading.ends_with("がつ") &&
               (startsWithOneOf(after, kForAStretch) ||
                (after == "も" && startsWithOneOf(afterNext, kTimePassing)))) {
      words[i].reading = months;  // 一月ほど ひとつき, 三月も経つ; 一月一日 stays
    } else if (word == "初" && words[i].reading == "はつ" && before != "お" &&
               (isOneOf(after, kFromTheStart) ||
                (after == "の" && startsWithOneOf(afterNext, kEarlyOn)))) {
      // Older prose's beginning: 初は, 初から, 初のうち; 初の試み stays はつ.
      words[i].reading = "はじめ";
    } else if (word == "皆" && words[i].reading == "みな" &&
               (caseParticle(after) || after == "で" || after == "と" || after == "な") &&
               !(after == "の" && (afterNext.starts_with("者") || afterNext.starts_with("衆")))) {
      // As children say it: 皆が, 皆で, older prose's 皆な; 皆の者 stays みな.
      words[i].reading = "みんな";
    } else if (word == "持て" && words[i].reading == "もて" &&
               startsWithOneOf(after, kGoingOrComing)) {
      words[i].reading = "もって";  // older prose's 持って: 持て来る, 持て行く; 持て余す stays
    } else if (word == "宛" && i > 0 &&
               numberValue(before.substr(0, utf8CharAt(before, 0).length))) {
      words[i].reading = "ずつ";  // after a count, older prose's each (一つ宛, 三人宛)
    } else if (word == "風" && words[i].reading == "かぜ" &&
               (endsWithOneOf(before, kSuchAs) ||
                (endsInAVerb(i - 1) && !lastMorphemeOf(i - 1).partOfSpeech.starts_with("形容詞") &&
                 (after == "な" || after == "だ" || after == "です")))) {
      words[i].reading = "ふう";  // a manner: こんな風に, 思っている風なのです; 吹く風に stays
    } else if (word == "是" && words[i].reading == "ぜ" && !after.starts_with("非") &&
               !afterNext.starts_with("非") && !before.ends_with("非")) {
      words[i].reading = "これ";  // older prose's this: 是は何だ; 是が非でも stays ぜ
    } else if (word == "件" && after == "の" && !endsInKanjiOrKatakana(before) &&
               !endsWithOneOf(before, kDemonstratives)) {
      words[i].reading = "くだん";  // the aforesaid: 件の男; この件の stays けん
    } else if (word == "妾") {
      // Older prose's women's I before what a speaker says of herself (妾は知りません, 妾の
      // 家), else someone's mistress (彼の妾, 妾にしろ, 妾を囲う).
      const bool speaker = before != "の" && (after == "は" || after == "が" || after == "も" ||
                                              after == "の" || after == "には");
      words[i].reading = speaker ? "わたし" : "めかけ";
    } else if (word == "画") {
      words[i].reading = "え";  // alone, a picture (画を描く), where the list's first is a stroke
    } else if (word.starts_with("止め") && words[i].reading.starts_with("とめ")) {
      // 止める is to give up (詩なんか止めましょう, 仕事を止めた), but a thing or a body is
      // stopped (足を止める, 車を止めて) and a mind keeps (気に止める).
      static constexpr std::string_view kStopped[] = {
          "足",     "手",     "車", "息",   "馬",   "船",   "舟",   "血",   "涙",
          "目",     "眼",     "耳", "歩み", "動き", "時計", "機械", "汽車", "電車",
          "自動車", "自転車", "水", "火",   "音",   "声",   "根",   "筆",   "戸"};
      const bool stopped =
          before == "に" || before == "で" ||
          (before == "を" && i >= 2 &&
           std::any_of(std::begin(kStopped), std::end(kStopped),
                       [&](std::string_view w) { return at(i - 2).ends_with(w); }));
      if (!stopped) words[i].reading.replace(0, std::string_view("と").size(), "や");
    } else if (word == "何時" && after == "でも") {
      words[i].reading = "いつ";
    } else if (word.starts_with("お妃") && words[i].reading.starts_with("おひ")) {
      words[i].reading.replace(0, std::string_view("おひ").size(), "おきさき");
    } else if (word == "機" && (after == "を" || after == "が") && afterNext.starts_with("織")) {
      words[i].reading = "はた";
    } else if (word == "お床" && words[i].reading == "おゆか") {
      words[i].reading = "おとこ";  // the bed one is offered
    } else if (word == "方" && words[i].reading == "ほう" && before == "あの" && after != "へ") {
      words[i].reading = "かた";  // a person: あの方は; その方がいい stays ほう
    } else if (word.ends_with("方") && words[i].reading.ends_with("かた") &&
               endsWithOneOf(word.substr(0, word.size() - std::string_view("方").size()),
                             kAddressed)) {
      // After a title, a plural: おばあさん方 がた, 婦人方.
      constexpr std::string_view kPerson = "かた";
      words[i].reading.replace(words[i].reading.size() - kPerson.size(), kPerson.size(), "がた");
    } else if (word == "体" && words[i].reading == "からだ" && after == "の" &&
               (afterNext == "いい" || afterNext.starts_with("好"))) {
      words[i].reading = "てい";  // 体のいい口実, 体の好い; 体の良い stays からだ
    } else if (word == "今日" && words[i].reading == "きょう" &&
               (after == "では" || (after == "で" && afterNext == "は") ||
                (after == "に" && (afterNext.starts_with("至") || afterNext.starts_with("いた"))) ||
                (after == "まで" && before == "から") ||
                (after == "の" && startsWithOneOf(afterNext, kOfTheseDays)))) {
      words[i].reading = "こんにち";  // these days: 今日では, 今日の日本; 今日の夕方 stays きょう
    } else if (word == "彼" && words[i].reading == "かれ" && after == "の" &&
               (afterNext == "人" || afterNext == "時" || afterNext == "頃" ||
                afterNext == "通り")) {
      words[i].reading = "あ";  // older prose's that: 彼の人 あのひと; 彼の人生 stays かれ
    } else if (word == "宅" && words[i].reading == "たく" && before != "お") {
      words[i].reading = "うち";  // alone, older prose's home: 宅へ帰る
    } else if (word == "左" && words[i].reading == "ひだり" &&
               (startsWithOneOf(after, kSoAs) || (after == "も" && !afterNext.starts_with("右") &&
                                                  !afterNext.starts_with("みぎ")))) {
      words[i].reading = "さ";  // older prose's so: 左れば, 左ほど, 左もなければ; 左も右も stays
    } else if (word == "否" && words[i].reading == "ひ" &&
               (after == "や" || after == "と" || after == "か" || after == "、" ||
                after == "。")) {
      // No: 否、そうではない, するや否や; a speaker's 「否、 is いいえ.
      words[i].reading = before == "「" && after == "、" ? "いいえ" : "いな";
    } else if (word == "如何" && words[i].reading.starts_with("いか") &&
               startsWithOneOf(after, kSaidOrDone)) {
      words[i].reading = "どう";  // 如何云う どういう, 如何したの, 如何かして
    } else if (word == "音" && words[i].reading == "おと" &&
               (ofOneOf(kSoundingNotes) ||
                (before != "の" && after == "を" && startsWithOneOf(afterNext, kRaised)))) {
      words[i].reading = "ね";  // 笛の音, and giving up: 音を上げる; テレビの音を上げる stays
    } else if (word == "床" && words[i].reading == "ゆか" &&
               startsWithOneOf(afterNext, inBed(after))) {
      words[i].reading = "とこ";  // a bed: 床に就く, 床を離れる, 床の中; 床の上 stays ゆか
    } else if (word == "側" && (before == "の" || before == "を") &&
               (after == "に" || after == "へ")) {
      words[i].reading = "そば";
    } else if (word.starts_with("上") && words[i].reading.starts_with("のぼ") && i >= 2 &&
               isAllKana(word.substr(std::string_view("上").size()))) {
      const std::string_view place = at(i - 2);
      const bool indoors = (before == "へ" || before == "に") && endsWithOneOf(place, kIndoors);
      if ((before == "から" && endsWithOneOf(place, kWater)) || indoors) {
        words[i].reading.replace(0, std::string_view("のぼ").size(), "あが");
      }
    } else if (word.starts_with("吐") && words[i].reading.starts_with("は") && i >= 2 &&
               (before == "を" || before == "も") &&
               (endsWithOneOf(at(i - 2), kSighs) ||
                (at(i - 2) == "息" && i >= 3 && at(i - 3) == "ほっと"))) {
      words[i].reading.replace(0, std::string_view("は").size(), "つ");  // 溜息を吐く
    } else if (word == "的" && words[i].reading == "てき" &&
               (before.ends_with("の") || after == "を" || after == "に" || after == "が")) {
      words[i].reading = "まと";  // a target: 鉄砲の的, 的を射る
    } else if (word.starts_with("空") && words[i].reading.starts_with("あ") && i >= 2 &&
               (before == "が" || before == "の") && at(i - 2).ends_with("腹")) {
      words[i].reading.replace(0, std::string_view("あ").size(), "す");
    } else if (word.starts_with("源") && words[i].reading.starts_with("みなもと")) {
      const std::string_view title =
          word == "源" ? after : word.substr(std::string_view("源").size());
      if (title.starts_with("ちゃん") || title.starts_with("どん") || title.starts_with("さん")) {
        words[i].reading.replace(0, std::string_view("みなもと").size(), "げん");
      }
    } else if (word == "夜" && words[i].reading == "よる") {
      // The night of set phrases is よ: 夜が明ける, 夜の明け方, 夜が更ける, 夜を明かす, 夜を更か
      // す, 夜に入る, 夜ごと (editors gave よる there once in fifty).
      const bool particle = after == "が" || after == "の" || after == "を" || after == "に";
      const std::string_view then = particle && !afterNext.empty() ? afterNext : after;
      const bool fallsIn = after == "に" && then.starts_with("入");  // not 夜にいつも
      const bool passing = after == "を" ? startsWithOneOf(then, kNightPassed)
                                         : startsWithOneOf(then, kNightPassing);
      if (passing || fallsIn || after.starts_with("ごと")) {
        words[i].reading = "よ";
      }
      if (fallsIn && words[i + 2].reading.starts_with("はい")) {  // 夜に入る よにいる
        words[i + 2].reading.replace(0, std::string_view("はい").size(), "い");
      }
    } else if (word == "質" && words[i].reading == "しつ" &&
               (endsInAVerb(i - 1) ||
                ((after == "の" || after == "が") && startsWithOneOf(afterNext, kBad)))) {
      words[i].reading = "たち";  // 人を信じる質, 質の悪い: one's nature
    } else if (word == "敵" && words[i].reading == "てき" &&
               ((after == "を" && startsWithOneOf(afterNext, kAvenged)) ||
                (before == "の" && i >= 2 && at(i - 2).ends_with("親")))) {
      words[i].reading = "かたき";  // 敵を討つ, 親の敵
    } else if (word == "術" && words[i].reading == "じゅつ" && (after == "が" || after == "も") &&
               (afterNext.starts_with("な") || afterNext.starts_with("無"))) {
      words[i].reading = "すべ";  // なす術もない
    } else if (word == "類" && words[i].reading == "るい" && before.ends_with("の")) {
      words[i].reading = "たぐい";  // 茶器の類, この類の話
    } else if (word == "下" && words[i].reading == "した" && ofOneOf(kRuledOrStruck)) {
      words[i].reading = "もと";  // 条件の下に, 白日の下に, 一刀の下に
    } else if (word == "暇" && words[i].reading == "ひま" && after == "を" &&
               startsWithOneOf(afterNext, kLeaveTaken)) {
      words[i].reading = "いとま";  // 暇を告げる, 暇を乞う
    } else if (word == "業" && words[i].reading == "ぎょう" && (after == "を" || after == "が") &&
               (afterNext.starts_with("煮") || afterNext.starts_with("に"))) {
      words[i].reading = "ごう";  // 業を煮やす, 業が煮える
    } else if (word == "頭" && words[i].reading == "あたま" && before == "を" && after == "に") {
      words[i].reading = "かしら";  // 八歳を頭に四人, the eldest
    } else if (word == "後" && words[i].reading == "あと") {
      // Looked back on, 後 is behind (後を振り返る うしろ); after a stretch of time it is later
      // (三年の後 のち).
      if ((after == "を" || after == "へ") && startsWithOneOf(afterNext, kLookingBack)) {
        words[i].reading = "うしろ";
      } else if (ofOneOf(kStretchesOfTime)) {
        words[i].reading = "のち";
      }
    } else if (word == "陽" && words[i].reading == "よう" && caseParticle(after) &&
               !(i >= 2 && at(i - 2).ends_with("陰"))) {  // 陰に陽に stays よう
      words[i].reading = "ひ";
    } else if (word == "翌" && after.starts_with("る")) {
      words[i].reading = "あく";
    } else if (word == "他" && words[i].reading == "た" && caseParticle(after)) {
      words[i].reading = "ほか";
    } else if (word == "当" && (after == "も" || after == "の" || after == "が") &&
               afterNext.starts_with("な")) {
      words[i].reading = "あて";
    } else if (word == "主" && words[i].reading == "おも" && after != "な" && after != "に" &&
               after != "として") {
      const bool main = after == "で" || after == "だ" || after == "たる";  // 主である
      words[i].reading = main ? "しゅ" : "あるじ";
    } else if (word == "罰" && words[i].reading == "ばち" &&
               !(after == "が" && (afterNext.starts_with("当") || afterNext.starts_with("あた")))) {
      words[i].reading = "ばつ";
    } else if (word == "気" && words[i].reading == "き" && i > 0 &&
               (morphemes[words[i - 1].firstMorpheme + words[i - 1].morphemeCount - 1]
                    .conjugation == "ガル接続")) {
      words[i].reading = "げ";
    } else if (word.ends_with("死") && word.size() > std::string_view("死").size() &&
               isAllKana(word.substr(0, word.size() - std::string_view("死").size())) &&
               words[i].reading.ends_with("し") && after.starts_with("に")) {
      words[i].reading.replace(words[i].reading.size() - std::string_view("し").size(),
                               std::string_view("し").size(), "じ");
    } else if (word == "外" && words[i].reading == "そと") {
      auto denial = [](std::string_view w) { return w.starts_with("な") || w.starts_with("無"); };
      // 外ない, 外にない, 外には無い: nothing but.
      const std::string_view third = i + 3 < words.size() ? at(i + 3) : std::string_view();
      const bool denied =
          denial(after) ||
          ((after == "に" || after == "は" || after == "には") && denial(afterNext)) ||
          (after == "に" && (afterNext == "は" || afterNext == "も") && denial(third));
      // Other people and things: 外の者, 外のお客, 外の事; 外の景色 stays そと.
      static constexpr std::string_view kOthers[] = {
          "者",   "もの", "物", "人", "事", "こと", "客",   "お客", "お方", "子",  "連中",
          "親類", "乗客", "鳥", "品", "奴", "生徒", "友達", "兄弟", "仲間", "家族"};
      const bool others = after == "の" && startsWithOneOf(afterNext, kOthers);
      // この外に, besides this; この外へ出る stays outside.
      const bool besides = (before == "この" || before == "此の" || before == "其の") &&
                           after != "へ" && after != "から";
      // Sayings: 殊の外, 思案の外, 以ての外.
      static constexpr std::string_view kBeyond[] = {"殊", "思案", "以て", "思い"};
      const bool saying = before == "の" && i >= 2 && endsWithOneOf(at(i - 2), kBeyond);
      if (before == "その" || before == "より" || denied || others || besides || saying) {
        words[i].reading = "ほか";
      }
    } else if (word.ends_with("術") && words[i].reading.ends_with("じゅつ") &&
               (word == "術" ||
                isAllKana(word.substr(0, word.size() - std::string_view("術").size()))) &&
               (after == "も" || after == "が" || after == "は") &&
               (afterNext.starts_with("な") || afterNext.starts_with("無"))) {
      // alone or after the kana of a verb: なす術, せん術
      words[i].reading.replace(words[i].reading.size() - std::string_view("じゅつ").size(),
                               std::string_view("じゅつ").size(), "すべ");
    } else if (word == "踵" && after == "を" && startsWithOneOf(afterNext, kTurned)) {
      words[i].reading = "きびす";
    } else if (word.starts_with("堪え") && words[i].reading.starts_with("こたえ")) {
      const bool heldBack = before == "を" || before.ends_with("と");  // じっと堪え
      words[i].reading.replace(0, std::string_view("こた").size(), heldBack ? "こら" : "た");
    } else if (word.starts_with("有っ") && words[i].reading.starts_with("あっ") && before == "を") {
      words[i].reading.replace(0, std::string_view("あ").size(), "も");
    } else if (word == "行" && words[i].reading == "ぎょう" &&
               (after.starts_with("た") || after.starts_with("て") || after.starts_with("とっ") ||
                after.starts_with("ちょ"))) {
      words[i].reading = "い";
    } else if (word == "何" && words[i].reading == "なに" &&
               (after.starts_with("だ") || after.starts_with("で") || after.starts_with("と") ||
                after.starts_with("て") || after.starts_with("の") || after.starts_with("ぞ"))) {
      words[i].reading = "なん";
    } else if (word == "中" && words[i].reading == "なか" &&
               ((endsInAVerb(i - 1) &&
                 (after == "に" || after == "は" || after == "には" || after == "、")) ||
                ofOneOf(kHeartAndMind) || ofOneOf(kTimesOfDay))) {
      words[i].reading = "うち";  // 見ている中に, 心の中, 昼の中に
    } else if (word == "間" && (words[i].reading == "あいだ" || words[i].reading == "かん")) {
      words[i].reading = "あいだ";  // alone, not the suffix of 日米間
      static constexpr std::string_view kRooms[] = {"奥", "次", "隣", "控え", "客", "居"};
      static constexpr std::string_view kAwkward[] = {"悪", "わる", "ぬけ", "抜け"};
      static constexpr std::string_view kLeft[] = {"おい", "置い"};
      const bool saying =
          ((after == "が" || after == "の") && startsWithOneOf(afterNext, kAwkward)) ||
          (after == "を" && startsWithOneOf(afterNext, kLeft));
      const bool room = ofOneOf(kRooms);
      // A while: ちょっとの間, 知らない間に.
      const bool brief = ofOneOf(kBrief);
      const bool unawares = after == "に" && endsInAVerb(i - 1) &&
                            (before.ends_with("ない") || before.ends_with("ぬ"));
      if (saying || room || brief || unawares) words[i].reading = "ま";
    } else if (word == "面" && words[i].reading == "めん") {
      static constexpr std::string_view kMoved[] = {"上げ",   "あげ", "伏せ", "ふせ", "背け",
                                                    "そむけ", "向け", "むけ", "垂れ", "たれ"};
      static constexpr std::string_view kStillWaters[] = {"水", "池", "海", "湖", "川", "沼"};
      const bool moved = after == "を" && startsWithOneOf(afterNext, kMoved);
      if (after == "の" && afterNext == "皮") {
        words[i].reading = "つら";
      } else if (moved || ofOneOf(kStillWaters)) {
        words[i].reading = "おもて";
      } else if (before != "お" && after != "と" && !after.starts_with("で") && !after.empty()) {
        // Alone in prose a face or a surface, not a mask (お面) nor an aspect (安全の面で, 面と向
        // かって): one's face said roughly before が or だ (面が立たない), else おもて.
        const bool rough = after == "が" || after == "だ" || after.starts_with("し");
        words[i].reading = rough ? "つら" : "おもて";
      }
    } else if (word == "下り" && words[i].reading == "くだり" &&
               (after.starts_with("た") || after.starts_with("て") || after.starts_with("ない") ||
                after.starts_with("なかっ"))) {
      words[i].reading = "おり";
    } else if (word.starts_with("開") && !word.starts_with("開け") &&
               words[i].reading.starts_with("ひら") &&
               (before == "が" || before == "は" || before == "も" || before == "の" ||
                (word == "開いた" && after == "口") || openedWithASound(i)) &&
               !(word == "開か" && (after.starts_with("れ") || after.starts_with("せ"))) &&
               !(i >= 2 && endsWithOneOf(at(i - 2), kUnfolding)) &&
               !(i >= 3 && endsWithOneOf(at(i - 3), kUnfolding))) {
      words[i].reading.replace(0, std::string_view("ひら").size(), "あ");
    } else if (word == "金" && (words[i].reading == "きん" || words[i].reading == "きむ")) {
      static constexpr std::string_view kSpent[] = {
          "払",   "はら", "貸",   "借", "儲",   "もう", "使", "つか", "返",
          "かえ", "貰",   "もら", "稼", "かせ", "溜",   "貯", "ため", "無",
          "な",   "有",   "あ",   "出", "だ",   "盗",   "買", "送"};
      const bool spent = (after == "を" || after == "が" || after == "も" || after == "は" ||
                          after == "で" || after == "さえ") &&
                         startsWithOneOf(afterNext, kSpent);
      // きむ is the family name the analyser sometimes takes it for.
      words[i].reading = spent ? "かね" : "きん";
    } else if (word == "得" && words[i].reading == "え" && after.starts_with("べ")) {
      words[i].reading = "う";
    } else if (word == "守" && before == "の" &&
               (words[i].reading == "まもり" || words[i].reading == "もり")) {
      words[i].reading = "かみ";
    } else if (word == "その後" && words[i].reading == "そのご" && after.starts_with("から")) {
      words[i].reading = "そのあと";
    } else if (word == "今日" && words[i].reading == "きょう" && after == "は" &&
               (afterNext.empty() || afterNext.starts_with("」") || afterNext.starts_with("！") ||
                afterNext.starts_with("。"))) {
      words[i].reading = "こんにち";
    } else if (word == "香" && words[i].reading == "こう" && before == "の") {
      words[i].reading = "か";
    } else if (word.starts_with("潜") && words[i].reading.starts_with("もぐ") && before == "を" &&
               !(i >= 2 && endsWithOneOf(at(i - 2), kWater))) {
      words[i].reading.replace(0, std::string_view("もぐ").size(), "くぐ");
    } else if (word == "一足" && words[i].reading == "いっそく") {
      constexpr std::size_t kReach = 8;  // words either side, within the sentence
      const bool footwear = nearInSentence(
          utf8, words, i, kReach, [](std::string_view w) { return holdsAny(w, kFootwear); });
      if (!footwear) words[i].reading = "ひとあし";
    }
  }
}

}  // namespace torvane::reading
