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
      // A compound verb is one word, with its ending.
      {"読み始めた", {{"読み始めた", "よみはじめた"}}},
      // Prefix, compound noun and suffix are one word; お and ご go with their word.
      {"お姉さんと東京都の高等学校",
       {{"お姉さん", "おねえさん"}, {"東京都", "とうきょうと"}, {"高等学校", "こうとうがっこう"}}},
      {"ご飯", {{"ご飯", "ごはん"}}},
      // さん after a name and たち stay outside, as する after a noun does.
      {"田中さんたち", {{"田中", "たなか"}}},
      {"勉強する", {{"勉強", "べんきょう"}}},
      // A one-kanji noun with する is one verb.
      {"面して", {{"面して", "めんして"}}},
      // An adverbial noun starts no compound, but ends one.
      {"明日雨", {{"明日", "あした"}, {"雨", "あめ"}}},
      {"休み時間", {{"休み時間", "やすみじかん"}}},
      // 中 after a counter reads じゅう, after an action ちゅう.
      {"一日中", {{"一日中", "いちにちじゅう"}}},
      {"勉強中", {{"勉強中", "べんきょうちゅう"}}},
      // 一日 after a month is the first day.
      {"四月一日と一日", {{"四月", "しがつ"}, {"一日", "ついたち"}, {"一日", "いちにち"}}},
      // Words from the appendix of the jōyō list, through the user dictionary.
      {"大人と白髪の河原", {{"大人", "おとな"}, {"白髪", "しらが"}, {"河原", "かわら"}}},
      // A word the dictionary does not know has no reading.
      {"鷗", {{"鷗", ""}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(wordsOf(c.text), c.words) << c.text;
  }
}

TEST(ReadingWords, NumbersWithCountersTakeTheirSoundChanges) {
  const struct {
    const char* number;
    const char* counter;
    const char* reading;
  } cases[] = {
      {"一", "本", "いっぽん"},
      {"三", "本", "さんぼん"},
      {"四", "本", "よんほん"},
      {"六", "本", "ろっぽん"},
      {"八", "本", "はっぽん"},
      {"十", "本", "じゅっぽん"},
      {"百", "本", "ひゃっぽん"},
      {"千", "本", "せんぼん"},
      {"何", "本", "なんぼん"},
      {"20", "本", "にじゅっぽん"},
      {"三", "匹", "さんびき"},
      {"10", "分", "じゅっぷん"},
      {"4", "分", "よんぷん"},
      {"5", "分", "ごふん"},
      {"三", "階", "さんがい"},
      {"六", "回", "ろっかい"},
      {"六", "冊", "ろくさつ"},
      {"八", "歳", "はっさい"},
      {"十", "歳", "じゅっさい"},
      {"二十", "歳", "はたち"},
      {"一", "人", "ひとり"},
      {"二", "人", "ふたり"},
      {"四", "人", "よにん"},
      {"七", "人", "しちにん"},
      {"四", "月", "しがつ"},
      {"九", "月", "くがつ"},
      {"9", "時", "くじ"},
      {"二", "日", "ふつか"},
      {"十", "日", "とおか"},
      {"14", "日", "じゅうよっか"},
      {"二十", "日", "はつか"},
      {"二十四", "日", "にじゅうよっか"},
      {"十七", "日", "じゅうななにち"},
      {"三百", "円", "さんびゃくえん"},
      {"８００", "円", "はっぴゃくえん"},
      {"三千", "円", "さんぜんえん"},
      {"一万", "円", "いちまんえん"},
      {"二〇二四", "年", "にせんにじゅうよねん"},
      {"六", "つ", "むっつ"},
      {"十", "つ", "とお"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(reading::countedReading(c.number, c.counter).value_or("(none)"), c.reading)
        << c.number << c.counter;
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
