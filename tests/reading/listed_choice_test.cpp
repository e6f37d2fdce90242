// Which reading a word gets when the word list holds it, as a table of what the analyser said and
// what the list knows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reading/listed_choice.h"

namespace torvane::reading {
namespace {

using Listed = std::vector<Analyzer::ListedReading>;

TEST(ListedChoice, AgreesKeepsOrGivesWayToTheList) {
  const struct {
    const char* what;
    Listed listed;
    std::vector<std::string> ranked;
    const char* current;
    bool glued;
    const char* chosen;
  } cases[] = {
      {"not listed", {}, {}, "かく", false, "かく"},
      {"listed common", {{"いなか", true}, {"でんしゃ", false}}, {}, "いなか", false, "いなか"},
      {"one common of two",
       {{"いちもく", false}, {"ひとめ", true}},
       {},
       "いちもく",
       false,
       "ひとめ"},
      {"known, several common: ranked first",
       {{"けだもの", true}, {"けもの", true}, {"しし", false}},
       {"しし", "けもの", "けだもの"},
       "しし",
       false,
       "けもの"},
      {"known, no common",
       {{"ぞうさ", false}, {"ぞうさく", false}},
       {},
       "ぞうさく",
       false,
       "ぞうさく"},
      {"unknown, the one listed", {{"ばんとう", false}}, {}, "ばんがしら", false, "ばんとう"},
      {"unknown, several, one morpheme",
       {{"かど", true}, {"つの", true}},
       {},
       "すみ",
       false,
       "すみ"},
      {"unknown, several, glued",
       {{"かど", true}, {"つの", true}},
       {"つの"},
       "かくど",
       true,
       "つの"},
      {"unknown, several rare, glued: the one starting most alike",
       {{"がいか", false}, {"がけした", false}},
       {},
       "がけか",
       true,
       "がけした"},
      {"no reading at all", {{"かもめ", true}, {"おう", false}}, {}, "", false, "かもめ"},
      {"ず and づ are one", {{"ひづめ", false}}, {}, "ひずめ", false, "ひずめ"},
      {"じ and ぢ are one", {{"はなぢ", true}, {"びじ", false}}, {}, "はなじ", true, "はなじ"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(chooseListedReading(c.listed, c.ranked, c.current, c.glued), c.chosen) << c.what;
  }
}

TEST(ListedChoice, AWordOfItsOwnOverKanjiReadOnOneByOne) {
  const struct {
    const char* surface;
    Listed listed;
    const char* chosen;
    const char* preferred;
  } cases[] = {
      {"昨夜", {{"さくや", true}, {"ゆうべ", true}, {"ゆんべ", false}}, "さくや", "ゆうべ"},
      {"明後日", {{"あさって", true}, {"みょうごにち", true}}, "みょうごにち", "あさって"},
      // Spelled by its kanji, kun readings and verb stems included: no word of its own.
      {"荒野", {{"あれの", true}, {"こうや", true}}, "こうや", "こうや"},
      // Not read on one by one: the choice stands.
      {"上手", {{"うわて", true}, {"じょうず", true}}, "じょうず", "じょうず"},
      // The other reading is not common, or a number leads.
      {"身体", {{"からだ", false}, {"しんたい", true}}, "しんたい", "しんたい"},
      {"一日", {{"いちにち", true}, {"ついたち", true}}, "いちにち", "いちにち"},
      // The same word said quicker, one kana dropped.
      {"唯一", {{"ゆいいつ", true}, {"ゆいつ", true}}, "ゆいいつ", "ゆいいつ"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(preferWordOfItsOwn(c.surface, c.listed, c.chosen), c.preferred) << c.surface;
  }
}

}  // namespace
}  // namespace torvane::reading
