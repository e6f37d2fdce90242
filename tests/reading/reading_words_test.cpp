// The words proposals are made of, and their readings: joining rules, numbers with counters.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "reading/numbers.h"
#include "rewriting/rewrite.h"
#include "support/reading_fixture.h"

namespace torvane {
namespace {

using WordList = std::vector<std::pair<std::string, std::string>>;

// Every proposal at level -1, where every kanji is red, as (word, reading).
WordList wordsOf(const std::string& text) {
  WordList words;
  for (const reading::Proposal& p : testing::Checked(text, checker::kNoLevel).propose()) {
    words.emplace_back(p.word, p.reading);
  }
  return words;
}

TEST(ReadingWords, JoinedSoNoWordIsSplitBetweenKanjiAndKana) {
  const struct {
    const char* text;
    WordList words;
  } cases[] = {
      // Okurigana and た, て, だ stay with the verb or adjective; ます and ない do not.
      {"書けば", {{"書け", "かけ"}}},
      {"本を読んで寒かった", {{"本", "ほん"}, {"読んで", "よんで"}, {"寒かった", "さむかった"}}},
      {"書きません", {{"書き", "かき"}}},
      // A compound verb is one word, with its ending, where its first verb ends in a kanji;
      // else each verb is a word with its okurigana, as ruby goes on each.
      {"見上げた", {{"見上げた", "みあげた"}}},
      {"読み始めた", {{"読み", "よみ"}, {"始めた", "はじめた"}}},
      {"降り出した", {{"降り", "ふり"}, {"出した", "だした"}}},  // one verb of the dictionary
      {"引っ越した", {{"引っ越した", "ひっこした"}}},            // っ is no okurigana
      // Prefix, compound noun and suffix are one word; お and ご go with their word.
      {"お姉さんと東京都の高等学校",
       {{"お姉さん", "おねえさん"}, {"東京都", "とうきょうと"}, {"高等学校", "こうとうがっこう"}}},
      {"ご飯", {{"ご飯", "ごはん"}}},
      // A noun ending in hiragana ends its word; an adverb starts none.
      {"お祖父さんお祖母さん", {{"お祖父さん", "おじいさん"}, {"お祖母さん", "おばあさん"}}},
      {"恰度子供", {{"恰度", "ちょうど"}, {"子供", "こども"}}},
      // さん after a name and たち stay outside, as する after a noun does.
      {"田中さんたち", {{"田中", "たなか"}}},
      {"勉強する", {{"勉強", "べんきょう"}}},
      // A one-kanji noun with する is one verb.
      {"面して", {{"面して", "めんして"}}},
      // An adverbial noun starts no compound, but ends one.
      {"明日雨", {{"明日", "あした"}, {"雨", "あめ"}}},
      {"試合時間", {{"試合時間", "しあいじかん"}}},
      {"木陰木陰に", {{"木陰", "こかげ"}, {"木陰", "こかげ"}}},  // a noun said twice: こかげこかげ
      // A word is cut where kana after a kanji are followed by a kanji, as ruby goes on each
      // run; each part reads its share, 場 voiced as in 売り場. A lone っ is the stem's own.
      {"生け捕り", {{"生け", "いけ"}, {"捕り", "どり"}}},
      {"売り場と休み時間",
       {{"売り", "うり"}, {"場", "ば"}, {"休み", "やすみ"}, {"時間", "じかん"}}},
      {"気の毒", {{"気の", "きの"}, {"毒", "どく"}}},
      {"引っ越しした", {{"引っ越し", "ひっこし"}}},
      // 々 the analyser leaves alone repeats its kanji, a native reading voiced.
      {"昔々", {{"昔々", "むかしむかし"}}},
      {"神々と村々", {{"神々", "かみがみ"}, {"村々", "むらむら"}}},
      // 中 after a counter reads じゅう, after an action ちゅう.
      {"一日中", {{"一日中", "いちにちじゅう"}}},
      {"勉強中", {{"勉強中", "べんきょうちゅう"}}},
      // 一日 after a month is the first day.
      {"四月一日と一日", {{"四月", "しがつ"}, {"一日", "ついたち"}, {"一日", "いちにち"}}},
      // Words from the appendix of the jōyō list, through the user dictionary.
      {"大人と白髪の河原", {{"大人", "おとな"}, {"白髪", "しらが"}, {"河原", "かわら"}}},
      // A word the dictionary does not know has no reading.
      {"𩸽", {{"𩸽", ""}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(wordsOf(c.text), c.words) << c.text;
  }
}

TEST(ReadingWords, WordsTheListKnowsReadWhole) {
  const struct {
    const char* text;
    WordList words;
  } cases[] = {
      // Each used to read as noted: glued parts, or a rarer reading than the common one.
      {"荷馬車", {{"荷馬車", "にばしゃ"}}},                  // にうましゃ
      {"地引網", {{"地引網", "じびきあみ"}}},                // じびきもう
      {"一目で", {{"一目", "ひとめ"}}},                      // いちもく
      {"番頭", {{"番頭", "ばんとう"}}},                      // ばんがしら
      {"獣", {{"獣", "けもの"}}},                            // しし
      {"お終い", {{"お終い", "おしまい"}}},                  // おおわりい
      {"大勢の人", {{"大勢", "おおぜい"}, {"人", "ひと"}}},  // たいせい
      // A reading the list marks common stays, and so do counted words and appendix words.
      {"田舎の町", {{"田舎", "いなか"}, {"町", "まち"}}},
      {"三本と今日", {{"三", "さん"}, {"本", "ぼん"}, {"今日", "きょう"}}},
      {"二十三羽と何匹",
       {{"二十三", "にじゅうさん"}, {"羽", "わ"}, {"何", "なん"}, {"匹", "びき"}}},
      {"三尺と一升", {{"三", "さん"}, {"尺", "じゃく"}, {"一", "いっ"}, {"升", "しょう"}}},
      {"もう一度、惚々と仄々",
       {{"一", "いち"}, {"度", "ど"}, {"惚々", "ほれぼれ"}, {"仄々", "ほのぼの"}}},
      // Older spellings: 賑か for 賑やか, 少さい for 小さい, 直に for すぐに; 怒 and 眠 as nouns.
      {"賑かな町。少さい子が直に怒に燃えた",
       {{"賑か", "にぎやか"},
        {"町", "まち"},
        {"少さい", "ちいさい"},
        {"子", "こ"},
        {"直に", "すぐに"},
        {"怒", "いかり"},
        {"燃えた", "もえた"}}},
      {"曾て首を傾げ、花の香いに異う",
       {{"曾て", "かつて"},
        {"首", "くび"},
        {"傾げ", "かしげ"},
        {"花", "はな"},
        {"香い", "におい"},
        {"異う", "ちがう"}}},
      // A kanji the dictionary cannot read, before kana editors count as its okurigana.
      {"以て僅な", {{"以", "もっ"}, {"僅", "わずか"}}},
      // ... or less a kana the text spells out: 呟やき, where editors read 呟いて つぶやいて.
      {"呟やき、憚からぬ", {{"呟", "つぶ"}, {"憚", "はば"}}},
      {"包を荷いで、幸に", {{"包", "つつみ"}, {"荷いで", "かついで"}, {"幸に", "さいわいに"}}},
      // A verb in う before て or た, its vowel rounded: 買うて こうて; 思うて stays.
      {"買うて会うた。思うて買う",
       {{"買うて", "こうて"}, {"会うた", "おうた"}, {"思うて", "おもうて"}, {"買う", "かう"}}},
      // 術 before a denial is すべ, 踵 turned きびす; else the analyser's じゅつ and かかと.
      {"静に踵を返し、なす術もない。踵と美術",
       {{"静", "しずか"},
        {"踵", "きびす"},
        {"返し", "かえし"},
        {"なす術", "なすすべ"},
        {"踵", "かかと"},
        {"美術", "びじゅつ"}}},
      {"詩なんか止めましょう。足を止めた",
       {{"詩", "し"}, {"止め", "やめ"}, {"足", "あし"}, {"止めた", "とめた"}}},
      {"一番好きな魚好き",
       {{"一", "いち"}, {"番", "ばん"}, {"好き", "すき"}, {"魚好き", "さかなずき"}}},  // 一番好き
      // 音 after an instrument and の is ね; elsewhere the analyser's おと.
      {"鈴の音", {{"鈴", "すず"}, {"音", "ね"}}},
      {"大きな音", {{"大きな", "おおきな"}, {"音", "おと"}}},
      // 角 alone: an animal's horn, else the corner.
      {"角を曲がる", {{"角", "かど"}, {"曲がる", "まがる"}}},
      {"鬼の角", {{"鬼", "おに"}, {"角", "つの"}}},
      {"角の店", {{"角", "かど"}, {"店", "みせ"}}},  // かく
      {"分度器で角を測る", {{"分度器", "ぶんどき"}, {"角", "かく"}, {"測る", "はかる"}}},
      {"大きな角の鹿", {{"大きな", "おおきな"}, {"角", "つの"}, {"鹿", "しか"}}},
      {"鹿が来た。角の店", {{"鹿", "しか"}, {"来た", "きた"}, {"角", "かど"}, {"店", "みせ"}}},
      // A compound the list lacks takes the list's reading for a common noun in it.
      {"蔵いっぱい", {{"蔵いっぱい", "くらいっぱい"}}},  // ぞういっぱい
      {"宝物", {{"宝物", "たからもの"}}},                // ほうもつ
      // A number with its counter takes no noun on either side; a suffix it still takes.
      {"番頭が一人居眠り", {{"番頭", "ばんとう"}, {"一人", "ひとり"}, {"居眠り", "いねむり"}}},
      {"甚兵衛一人", {{"甚兵衛", "じんべえ"}, {"一人", "ひとり"}}},
      {"一日中", {{"一日中", "いちにちじゅう"}}},
      {"一月ほど", {{"一月", "ひとつき"}}},  // いちがつ
      // One and two of a thing named by its native word count natively; an on counter does not.
      {"一鞭", {{"一鞭", "ひとむち"}}},  // no reading: 一 and 鞭 apart
      {"一箱", {{"一箱", "ひとはこ"}}},  // いっぱこ
      {"一枚", {{"一", "いち"}, {"枚", "まい"}}},
      {"一抱え", {{"一抱え", "ひとかかえ"}}},  // 一 and 抱え apart
      // Modern kana: ず where the dictionary spells づ, kept where a kanji reads つ alone.
      {"授けて", {{"授けて", "さずけて"}}},  // さづけて
      {"三日月", {{"三日月", "みかづき"}}},
      {"縮んだ", {{"縮んだ", "ちぢんだ"}}},
      {"基いて",
       {{"基いて", "もとづいて"}}},  // もとずいて: 基 reads no つ, yet the notice keeps づ
      // A digit before a counted word of the dictionary is a rough count with it.
      {"四五匹", {{"四五", "しご"}, {"匹", "ひき"}}},
      // A listed phrase with a particle does not take the place of its words.
      {"森の奥", {{"森", "もり"}, {"奥", "おく"}}},
      // A title stays outside its word, read as the list reads the two together.
      {"仏様", {{"仏", "ほとけ"}, {"様", "さま"}}},  // ふつ
      // Old given names the dictionary cuts in two.
      {"吉兵衛", {{"吉兵衛", "きちべえ"}}},              // よしひょうえ
      {"太郎右衛門", {{"太郎右衛門", "たろうえもん"}}},  // たろうみぎえもん
      // A suffix read as it is after what it follows.
      {"子供等", {{"子供等", "こどもら"}}},        // こどもとう
      {"あなた方", {{"あなた方", "あなたがた"}}},  // あなたかた
      // 達 stays outside its word, as たち does.
      {"家来達", {{"家来", "けらい"}, {"達", "たち"}}},
      // Older okurigana: the kanji reads the jōyō stem with the kana the text leaves out, the
      // ending conjugated; before a particle it stays a noun.
      {"悲みが", {{"悲", "かなし"}}},                        // ひ
      {"暖くなる", {{"暖く", "あたたかく"}}},                // だん
      {"恐しく", {{"恐", "おそろ"}}},                        // おそれ
      {"危いよ", {{"危いよ", "あぶないよ"}}},                // きいよ
      {"親も子も", {{"親", "おや"}, {"子", "こ"}}},          // not したし
      {"命が助った", {{"命", "いのち"}, {"助", "たすか"}}},  // たすけ: ける is ichidan
      // Native readings children's prose means; the compounds keep theirs.
      {"家へ帰る", {{"家", "うち"}, {"帰る", "かえる"}}},  // いえ
      {"幸福そう", {{"幸福そう", "しあわせそう"}}},        // こうふくそう
      {"家族", {{"家族", "かぞく"}}},
      {"身体を洗う", {{"身体", "からだ"}, {"洗う", "あらう"}}},  // しんたい
      {"身体検査", {{"身体検査", "しんたいけんさ"}}},
      {"窓から這入って", {{"窓", "まど"}, {"這入って", "はいって"}}},        // はいいって
      {"好い日に好く", {{"好い", "いい"}, {"日", "ひ"}, {"好く", "よく"}}},  // よい
      {"廻って", {{"廻って", "まわって"}}},                                  // めぐって
      {"人が集った", {{"人", "ひと"}, {"集った", "あつまった"}}},            // たかった
      {"竹を伐って", {{"竹", "たけ"}, {"伐って", "きって"}}},                // うって
      {"帰って了った", {{"帰って", "かえって"}, {"了った", "しまった"}}},    // おわった
      {"学校で了った", {{"学校", "がっこう"}, {"了った", "おわった"}}},      // the particle で
      {"木を伐つ", {{"木", "き"}, {"伐つ", "うつ"}}},
      {"神に奉った", {{"神", "かみ"}, {"奉った", "たてまつった"}}},                // まつった
      {"室の中", {{"室", "へや"}, {"中", "なか"}}},                                // しつ
      {"画を描く。ガラスの管", {{"画", "え"}, {"描く", "かく"}, {"管", "くだ"}}},  // かく, かん
      {"教室", {{"教室", "きょうしつ"}}},
      // A verb keeps its reading where the list has its spelling as another word.
      {"雨も降って", {{"雨", "あめ"}, {"降って", "ふって"}}},    // the adverb くだって
      {"皆は止りました", {{"皆", "みな"}, {"止り", "とまり"}}},  // the list's suffix どまり
      {"絵を描いた傍ら", {{"絵", "え"}, {"描いた", "かいた"}, {"傍ら", "かたわら"}}},  // えがいた
      // Readings the words around decide: 勢 alone, 側 beside, 上る into or out of a place,
      // 一足 a step unless footwear is near; 建 after a storey count, 宛 after a count.
      {"大層勢の強い", {{"大層", "たいそう"}, {"勢", "いきおい"}, {"強い", "つよい"}}},  // ぜい
      {"年寄の側に坐る", {{"年寄", "としより"}, {"側", "そば"}, {"坐る", "すわる"}}},    // がわ
      {"右側に", {{"右側", "みぎがわ"}}},
      {"湯から上って", {{"湯", "ゆ"}, {"上って", "あがって"}}},  // のぼって
      {"二階へ上る", {{"二", "に"}, {"階", "かい"}, {"上る", "あがる"}}},
      {"山に上る", {{"山", "やま"}, {"上る", "のぼる"}}},
      {"一足も歩けない", {{"一足", "ひとあし"}, {"歩け", "あるけ"}}},  // いっそく
      {"靴を一足。一足も", {{"靴", "くつ"}, {"一", "いっ"}, {"足", "そく"}, {"一足", "ひとあし"}}},
      {"靴下を一足", {{"靴下", "くつした"}, {"一", "いっ"}, {"足", "そく"}}},
      {"武田勢が麓から上って",
       {{"武田勢", "たけだぜい"}, {"麓", "ふもと"}, {"上って", "のぼって"}}},
      {"武田の勢", {{"武田", "たけだ"}, {"勢", "ぜい"}}},
      {"三階建の家", {{"三階建", "さんがいだて"}, {"家", "うち"}}},  // さんがい けん
      {"戦災後、三年後に。後から",
       {{"戦災後", "せんさいご"}, {"三年後", "さんねんご"}, {"後", "あと"}}},
      {"湯上がり後に", {{"湯上がり", "ゆあがり"}, {"後", "あと"}}},                // ご
      {"値段札と千円札", {{"値段札", "ねだんふだ"}, {"千円札", "せんえんさつ"}}},  // ねだんさつ
      {"矢口家の人", {{"矢口家", "やぐちけ"}, {"人", "ひと"}}},                    // やぐちか
      {"一杯宛御飯を",
       {{"一", "いっ"}, {"杯", "ぱい"}, {"宛", "ずつ"}, {"御飯", "ごはん"}}},  // 宛御飯 あて
      {"山田様宛の", {{"山田", "やまだ"}, {"様", "さま"}, {"宛", "あて"}}},
      // Dictionary words that hold a particle (平が, 安が, 春の) give way to a kanji and its
      // particle.
      {"お安が春の海を",
       {{"お安", "おやす"}, {"春", "はる"}, {"海", "うみ"}}},  // おあんが はるの かい
      {"お妃様が機を織る",
       {{"お妃", "おきさき"}, {"様", "さま"}, {"機", "はた"}, {"織る", "おる"}}},
      {"又三郎が来た", {{"又三郎", "またさぶろう"}, {"来た", "きた"}}},  // また / さぶろう
      {"又花子も", {{"又", "また"}, {"花子", "はなこ"}}},
      {"木の下に", {{"木の", "きの"}, {"下", "した"}}},  // この した
      {"その中に、犬は。その中に鳥がいた",
       {{"中", "うち"}, {"犬", "いぬ"}, {"中", "なか"}, {"鳥", "とり"}}},
      {"何時でも来い", {{"何時", "いつ"}, {"来い", "こい"}}},              // なんじ
      {"二晩も一息ついた", {{"二晩", "ふたばん"}, {"一息", "ひといき"}}},  // にばん, 一 息つい
      // A kanji the analyser cannot read at all, standing as a noun: the noun of its verb.
      {"訴がある", {{"訴", "うったえ"}}},
      {"に違ない", {{"違", "ちがい"}}},
      // The list's verbs and adjectives the analyser lacks, conjugated whole; a form the
      // analyser has as another word stays that word's.
      {"空に舞上って", {{"空", "そら"}, {"舞上って", "まいあがって"}}},  // まい のぼって
      {"呑込めなかった", {{"呑込め", "のみこめ"}}},
      {"凄じい", {{"凄じい", "すさまじい"}}},
      {"遊んだ", {{"遊んだ", "あそんだ"}}},  // 遊む すさんだ
      // Nor a spelling EDICT marks as usually kana over its other reading, nor a verb hiding a
      // noun with する.
      {"車が停まった", {{"車", "くるま"}, {"停まった", "とまった"}}},  // とどまった
      {"原子を結合せよ", {{"原子", "げんし"}, {"結合", "けつごう"}}},  // 結び合せる
      // A compound the list lacks: a native noun after another takes rendaku, unless it holds a
      // voiced sound already.
      {"猫の丸爪", {{"猫", "ねこ"}, {"丸爪", "まるづめ"}}},  // まるつめ
      // Old names with の: a clan and a given name, an old province and 国 or 守.
      {"藤原道長と藤原一郎",
       {{"藤原道長", "ふじわらのみちなが"}, {"藤原一郎", "ふじわらいちろう"}}},
      {"藤原正彦さん", {{"藤原正彦", "ふじわらまさひこ"}}},
      // A family name starts a word of its own after a title: 左大臣 / 藤原道長, read with の
      // before 様 too.
      {"左大臣藤原道長様",
       {{"左大臣", "さだいじん"}, {"藤原道長", "ふじわらのみちなが"}, {"様", "さま"}}},
      // ... and a title after a name, which keeps the analyser's reading of the name.
      {"寺内将軍と小林少年",
       {{"寺内", "てらうち"},
        {"将軍", "しょうぐん"},
        {"小林", "こばやし"},
        {"少年", "しょうねん"}}},
      {"丹波国の越前守", {{"丹波国", "たんばのくに"}, {"越前守", "えちぜんのかみ"}}},
      {"上野国", {{"上野国", "こうずけのくに"}}},  // うえの
      // Kanji outside the code page read as the forms the dictionary knows (頰 as 頬).
      {"頰を", {{"頰", "ほお"}}},
      {"森鷗外と𠮟られた", {{"森鷗外", "もりおうがい"}, {"𠮟ら", "しから"}}},
      // Old forms of the jōyō kanji, read as the new (與 as 与, 燈 as 灯).
      {"與太郎の行燈", {{"與太郎", "よたろう"}, {"行燈", "あんどん"}}},  // あたえたろう, あんどう
      // Older spellings of everyday words, read as children's prose means them.
      {"と云った", {{"云った", "いった"}}},            // ゆった
      {"と仰言った", {{"仰言った", "おっしゃった"}}},  // 仰 言った
      {"と仰言いました", {{"仰言い", "おっしゃい"}}},  // おおせごと い
      {"此の子", {{"此の", "この"}, {"子", "こ"}}},    // これ の
      {"何うして", {{"何う", "どう"}}},                // なに うし
      {"迚も", {{"迚も", "とても"}}},                  // とっても
      // A common listed word wins over the analyser's pieces (とにかく, not うさぎ に かど); it is
      // then cut as its ruby goes.
      {"兎に角行く", {{"兎に", "とに"}, {"角", "かく"}, {"行く", "いく"}}},  // うさぎ に かど
      {"態々来た", {{"態々", "わざわざ"}, {"来た", "きた"}}},                // たい々
      // Listed words as older texts write them, their okurigana left out.
      {"一抱の薪", {{"一抱", "ひとかかえ"}, {"薪", "まき"}}},
      {"立塞がる", {{"立塞がる", "たちふさがる"}}},
      {"お願がある", {{"お願", "おねがい"}}},          // お がん
      {"思違いでした", {{"思違い", "おもいちがい"}}},  // 思違 い, おもいちがいい
      {"寐入った", {{"寐入った", "ねいった"}}},        // ねはいった
      {"真中の道傍に", {{"真中", "まんなか"}, {"道傍", "みちばた"}}},  // まなか, どうぼう
      // Older okurigana read as editors read the kanji before it.
      {"慄えながら", {{"慄", "ふる"}}},                            // no reading
      {"横わった", {{"横", "よこた"}}},                            // よこ
      {"心まで冷えた", {{"心", "こころ"}, {"冷えた", "ひえた"}}},  // しんまで
      // A kanji the dictionary reads only as a noun before っ, a verb's bare stem before する, an
      // adjective's classical form before more of its word; not a noun of its own before って.
      {"手を拍って、嘲笑を洩して",
       {{"手", "て"}, {"拍", "う"}, {"嘲笑", "ちょうしょう"}, {"洩", "もら"}}},  // はく, も
      {"怖しさに羨しがる", {{"怖しさ", "おそろしさ"}, {"羨し", "うらやまし"}}},  // こわしさ, ともし
      {"怖しい勢", {{"怖し", "おそろし"}, {"勢", "いきおい"}}},  // こわし, い勢 いぜい
      {"女ってものは", {{"女", "おんな"}}},                      // あま
      // Words read by their neighbours: a lie told, a stomach empty, a given name cut short.
      {"嘘を吐くか", {{"嘘", "うそ"}, {"吐く", "つく"}}},            // はく
      {"お腹が空きますと", {{"お腹", "おなか"}, {"空き", "すき"}}},  // あき
      {"席が空いた", {{"席", "せき"}, {"空いた", "あいた"}}},
      {"「源どん」と源ちゃん。源氏",
       {{"源どん", "げんどん"}, {"源", "げん"}, {"源氏", "げんじ"}}},  // みなもと
      {"薄寒いほど", {{"薄寒い", "うすさむい"}}},                      // うすらさむい
      {"夜がふけて陽が高い。翌る日、他に客は",
       {{"夜", "よ"},
        {"陽", "ひ"},
        {"高い", "たかい"},
        {"翌", "あく"},
        {"日", "ひ"},
        {"他", "ほか"},
        {"客", "きゃく"}}},  // よる よう よく た
      {"ちっとの間、知らない間に心の中で",
       {{"間", "ま"},
        {"知らない", "しらない"},
        {"間に", "まに"},
        {"心", "こころ"},
        {"中", "うち"}}},  // あいだ, なか
      {"有るに定ってる。信じる質で、質が悪い。質に入れた",
       {{"有る", "ある"},
        {"定っ", "きまっ"},
        {"信じる", "しんじる"},
        {"質", "たち"},
        {"質", "たち"},
        {"悪い", "わるい"},
        {"質", "しつ"},
        {"入れた", "いれた"}}},  // さだま, しつ
      {"親の敵を討つ術もない。この類の話",
       {{"親", "おや"},
        {"敵", "かたき"},
        {"討つ", "うつ"},
        {"術", "すべ"},
        {"類", "たぐい"},
        {"話", "はなし"}}},  // てき じゅつ るい
      {"手品使いと葡萄入り",
       {{"手品", "てじな"}, {"使い", "づかい"}, {"葡萄", "ぶどう"}, {"入り", "いり"}}},  // whole
      {"嘆息を吐いて、的を射た",
       {{"嘆息", "たんそく"},
        {"吐いて", "ついて"},
        {"的", "まと"},
        {"射た", "いた"}}},  // はいて てき
      {"白日の下に。机の下に。暇を告げ、業を煮やす",
       {{"白日", "はくじつ"},
        {"下", "もと"},
        {"机", "つくえ"},
        {"下", "した"},
        {"暇", "いとま"},
        {"告げ", "つげ"},
        {"業", "ごう"},
        {"煮やす", "にやす"}}},  // した ひま ぎょう
      {"後を振返って、三年の後に",
       {{"後", "うしろ"},
        {"振返って", "ふりかえって"},
        {"三", "さん"},
        {"年", "ねん"},
        {"後", "のち"}}},  // あと, あと
      {"夜の明かり。夜が明ける。夜に入って、夜になって",
       {{"夜", "よる"},
        {"明かり", "あかり"},
        {"夜", "よ"},
        {"明ける", "あける"},
        {"夜", "よ"},
        {"入って", "いって"},
        {"夜", "よる"}}},
      {"私の考では疑の余地はない。月の望の夜。キリスト教の話",
       {{"私", "わたし"},
        {"考", "かんがえ"},
        {"疑", "うたがい"},
        {"余地", "よち"},
        {"月", "つき"},
        {"望", "もち"},
        {"夜", "よる"},
        {"キリスト教", "きりすときょう"},
        {"話", "はなし"}}},  // こう ぎ; a month's full moon and a faith keep their on
      {"こんな風に吹く風に。件の男は、その件の話。是は何だ。是が非でも。妾は彼の妾ではない",
       {{"風", "ふう"},
        {"吹く", "ふく"},
        {"風", "かぜ"},
        {"件", "くだん"},
        {"男", "おとこ"},
        {"件", "けん"},
        {"話", "はなし"},
        {"是", "これ"},
        {"何", "なん"},
        {"是", "ぜ"},
        {"非", "ひ"},
        {"妾", "わたし"},
        {"彼", "かれ"},
        {"妾", "めかけ"}}},
      {"床を離れて床の上に坐った",
       {{"床", "とこ"},
        {"離れて", "はなれて"},
        {"床", "ゆか"},
        {"上", "うえ"},
        {"坐った", "すわった"}}},
      {"外の者は笛の音を聞き、外の景色と足の音",
       {{"外", "ほか"},
        {"者", "もの"},
        {"笛", "ふえ"},
        {"音", "ね"},
        {"聞き", "きき"},
        {"外", "そと"},
        {"景色", "けしき"},
        {"足", "あし"},
        {"音", "おと"}}},
      {"当もなく宿の主と", {{"当", "あて"}, {"宿", "やど"}, {"主", "あるじ"}}},  // はた, おも
      {"罰として。罰が当たる", {{"罰", "ばつ"}, {"罰", "ばち"}, {"当たる", "あたる"}}},
      {"優し気にうえ死にする",
       {{"優し", "やさし"}, {"気", "げ"}, {"うえ死", "うえじ"}}},  // き, うえし
      {"父は沈黙って", {{"父", "ちち"}, {"沈黙", "だま"}}},        // ちんもく
      {"歪んだ躯、柔い",
       {{"歪んだ", "ゆがんだ"},
        {"躯", "からだ"},
        {"柔い", "やわらかい"}}},  // いがんだ むくろ やっこい
      {"その外に何も無い。外に出た",
       {{"外", "ほか"}, {"何", "なに"}, {"無い", "ない"}, {"外", "そと"}, {"出た", "でた"}}},
      {"対手の胸の裡は屹と怪しからん",
       {{"対手", "あいて"},
        {"胸", "むね"},
        {"裡", "うち"},
        {"屹と", "きっと"},
        {"怪しからん", "けしからん"}}},  // たいしゅ り きつと あやし
      {"何の話か、或は或る男に堪えられない",
       {{"何", "なん"},
        {"話", "はなし"},
        {"或は", "あるいは"},
        {"或る", "ある"},
        {"男", "おとこ"},
        {"堪え", "たえ"}}},  // なにの あるは あるる こたえ
      {"涙を堪えてかけ金を見に行て「今日は」",
       {{"涙", "なみだ"},
        {"堪えて", "こらえて"},
        {"かけ金", "かけがね"},
        {"見", "み"},
        {"行", "い"},
        {"今日", "こんにち"}}},                    // こたえ きん ぎょう きょう
      {"家畜小屋", {{"家畜小屋", "かちくごや"}}},  // かちくこや
      {"下りたり", {{"下り", "おり"}}},            // くだり
      {"金を払う金がかがやく", {{"金", "かね"}, {"払う", "はらう"}, {"金", "きん"}}},  // きん, きむ
      // The reading editors mostly gave a word, where it differs from the dictionary's; after
      // お too.
      {"生命と周囲", {{"生命", "いのち"}, {"周囲", "まわり"}}},  // せいめい, しゅうい
      {"お正午に", {{"お正午", "おひる"}}},                      // おしょうご
      {"お副食物", {{"お副食物", "おふくしょくぶつ"}}},          // おおかず
      {"お姉様とお祖父様",
       {{"お姉様", "おねえさま"}, {"お祖父様", "おじいさま"}}},  // おあねさま, おそふ
      // Not where the list marks the dictionary's reading common and the editors' rare, nor a
      // counted word, nor one kanji alone, which its sentence decides.
      {"人気の歌手", {{"人気", "にんき"}, {"歌手", "かしゅ"}}},  // ひとけ
      {"往来の車", {{"往来", "おうらい"}, {"車", "くるま"}}},  // ゆきき: おうらい given often too
      {"一個の石", {{"一", "いっ"}, {"個", "こ"}, {"石", "いし"}}},      // ひとつ
      {"学校に入って", {{"学校", "がっこう"}, {"入って", "はいって"}}},  // いって
      // お before one kanji read on, 大 before one read natively, where no word has the two.
      {"お館へ", {{"お館", "おやかた"}}},  // おかん
      {"お重とお眼とお面",
       {{"お重", "おじゅう"}, {"お眼", "おめ"}, {"お面", "おめん"}}},    // おえ, おおも
      {"大傷と大好き", {{"大傷", "おおきず"}, {"大好き", "だいすき"}}},  // だいきず
      // 御 before a native word お, before a Sino-Japanese one ご.
      {"御手紙と御城と御家来",
       {{"御手紙", "おてがみ"}, {"御城", "おしろ"}, {"御家来", "ごけらい"}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(wordsOf(c.text), c.words) << c.text;
  }
  // Only okurigana is left out: お祖父 is not the list's お祖父さん without its さん, nor 今日中
  // its 今日中に without its に.
  ASSERT_EQ(wordsOf("お祖父").size(), 1u);
  EXPECT_NE(wordsOf("お祖父").front().second, "おじいさん");
  ASSERT_EQ(wordsOf("今日中に").size(), 1u);
  EXPECT_FALSE(wordsOf("今日中に").front().second.ends_with("に"));
}

TEST(ReadingWords, NumbersWithCountersTakeTheirSoundChanges) {
  const struct {
    const char* number;
    const char* counter;
    const char* reading;  // "|" where the number's share ends, if it can be divided
  } cases[] = {
      {"一", "本", "いっ|ぽん"},
      {"三", "本", "さん|ぼん"},
      {"四", "本", "よん|ほん"},
      {"六", "本", "ろっ|ぽん"},
      {"八", "本", "はっ|ぽん"},
      {"十", "本", "じゅっ|ぽん"},
      {"百", "本", "ひゃっ|ぽん"},
      {"千", "本", "せん|ぼん"},
      {"何", "本", "なん|ぼん"},
      {"20", "本", "にじゅっ|ぽん"},
      {"三", "匹", "さん|びき"},
      {"10", "分", "じゅっ|ぷん"},
      {"4", "分", "よん|ぷん"},
      {"5", "分", "ご|ふん"},
      {"三", "階", "さん|がい"},
      {"三", "遍", "さん|べん"},
      {"一", "遍", "いっ|ぺん"},
      {"一", "挺", "いっ|ちょう"},
      {"六", "回", "ろっ|かい"},
      {"六", "冊", "ろく|さつ"},
      {"八", "歳", "はっ|さい"},
      {"十", "歳", "じゅっ|さい"},
      {"二十", "歳", "はたち"},
      {"一", "人", "ひとり"},
      {"二", "人", "ふたり"},
      {"一", "組", "ひとくみ"},  // いちくみ
      {"四", "人", "よ|にん"},
      {"七", "人", "しち|にん"},
      {"四", "月", "し|がつ"},
      {"九", "月", "く|がつ"},
      {"9", "時", "く|じ"},
      {"二", "日", "ふつか"},
      {"十", "日", "とおか"},
      {"14", "日", "じゅうよっか"},
      {"二十", "日", "はつか"},
      {"二十四", "日", "にじゅうよっか"},
      {"十七", "日", "じゅうなな|にち"},
      {"三百", "円", "さんびゃく|えん"},
      {"８００", "円", "はっぴゃく|えん"},
      {"三千", "円", "さんぜん|えん"},
      {"一万", "円", "いちまん|えん"},
      {"二〇二四", "年", "にせんにじゅうよ|ねん"},
      {"六", "つ", "むっつ"},
      {"十", "つ", "とお"},
      // Two neighbouring digits are a rough count, each said (they read 二十三 and 五十六).
      {"二三", "本", "にさん|ぼん"},
      {"五六", "人", "ごろく|にん"},
      {"二三", "日", "にさんにち"},
      {"四五", "匹", "しご|ひき"},
      {"一二", "人", "いちににん"},
      {"二五", "人", "にじゅうご|にん"},  // not neighbours: twenty-five
  };
  for (const auto& c : cases) {
    const auto parts = reading::countedParts(c.number, c.counter);
    ASSERT_TRUE(parts) << c.number << c.counter;
    EXPECT_EQ(parts->counter.empty() ? parts->number : parts->number + "|" + parts->counter,
              c.reading)
        << c.number << c.counter;
    std::string whole = c.reading;
    std::erase(whole, '|');
    EXPECT_EQ(reading::countedReading(c.number, c.counter), whole) << c.number << c.counter;
  }
  EXPECT_EQ(reading::countedReading("一", "日", /*afterMonth=*/true), "ついたち");
  EXPECT_EQ(reading::countedReading("一", "日"), "いちにち");
  // Not a number, or not a counter it knows: the dictionary's reading stands.
  for (const auto& [number, counter] : std::vector<std::pair<const char*, const char*>>{
           {"", "本"}, {"1二", "本"}, {"十a", "本"}, {"三", "犬"}, {"123456789", "円"}}) {
    EXPECT_FALSE(reading::countedReading(number, counter)) << number << counter;
  }
}

}  // namespace
}  // namespace torvane
