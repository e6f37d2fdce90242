// The user dictionary's sources: well-formed IPA dictionary rows, the 付表 words held against the
// appendix of the jōyō list as the notice prints it, and the counted words the rules write.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "reading/kana.h"
#include "reading/numbers.h"

namespace torvane {
namespace {

struct Row {
  std::vector<std::string> fields;
  int line = 0;
};

// A source file of dict/, or the counted words written at build time.
std::vector<Row> readCsv(const std::string& name) {
  std::ifstream in(name == "counters.csv" ? std::string(TORVANE_COUNTER_DICTIONARY)
                                          : std::string(TORVANE_USER_DICT_DIR) + "/" + name);
  EXPECT_TRUE(in) << name;
  std::vector<Row> rows;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    Row row{{}, number};
    std::stringstream fields(line);
    for (std::string field; std::getline(fields, field, ',');) row.fields.push_back(field);
    rows.push_back(std::move(row));
  }
  return rows;
}

// The appendix (付表) of the jōyō kanji list, Cabinet notice of 30 November 2010: each reading
// with the words written for it, in the notice's order.
const std::map<std::string, std::vector<std::string>> kAppendix = {{"あす", {"明日"}},
                                                                   {"あずき", {"小豆"}},
                                                                   {"あま", {"海女", "海士"}},
                                                                   {"いおう", {"硫黄"}},
                                                                   {"いくじ", {"意気地"}},
                                                                   {"いなか", {"田舎"}},
                                                                   {"いぶき", {"息吹"}},
                                                                   {"うなばら", {"海原"}},
                                                                   {"うば", {"乳母"}},
                                                                   {"うわき", {"浮気"}},
                                                                   {"うわつく", {"浮つく"}},
                                                                   {"えがお", {"笑顔"}},
                                                                   {"おじ", {"叔父", "伯父"}},
                                                                   {"おとな", {"大人"}},
                                                                   {"おとめ", {"乙女"}},
                                                                   {"おば", {"叔母", "伯母"}},
                                                                   {"おまわりさん", {"お巡りさん"}},
                                                                   {"おみき", {"お神酒"}},
                                                                   {"おもや", {"母屋", "母家"}},
                                                                   {"かあさん", {"母さん"}},
                                                                   {"かぐら", {"神楽"}},
                                                                   {"かし", {"河岸"}},
                                                                   {"かじ", {"鍛冶"}},
                                                                   {"かぜ", {"風邪"}},
                                                                   {"かたず", {"固唾"}},
                                                                   {"かな", {"仮名"}},
                                                                   {"かや", {"蚊帳"}},
                                                                   {"かわせ", {"為替"}},
                                                                   {"かわら", {"河原", "川原"}},
                                                                   {"きのう", {"昨日"}},
                                                                   {"きょう", {"今日"}},
                                                                   {"くだもの", {"果物"}},
                                                                   {"くろうと", {"玄人"}},
                                                                   {"けさ", {"今朝"}},
                                                                   {"けしき", {"景色"}},
                                                                   {"ここち", {"心地"}},
                                                                   {"こじ", {"居士"}},
                                                                   {"ことし", {"今年"}},
                                                                   {"さおとめ", {"早乙女"}},
                                                                   {"ざこ", {"雑魚"}},
                                                                   {"さじき", {"桟敷"}},
                                                                   {"さしつかえる", {"差し支える"}},
                                                                   {"さつき", {"五月"}},
                                                                   {"さなえ", {"早苗"}},
                                                                   {"さみだれ", {"五月雨"}},
                                                                   {"しぐれ", {"時雨"}},
                                                                   {"しっぽ", {"尻尾"}},
                                                                   {"しない", {"竹刀"}},
                                                                   {"しにせ", {"老舗"}},
                                                                   {"しばふ", {"芝生"}},
                                                                   {"しみず", {"清水"}},
                                                                   {"しゃみせん", {"三味線"}},
                                                                   {"じゃり", {"砂利"}},
                                                                   {"じゅず", {"数珠"}},
                                                                   {"じょうず", {"上手"}},
                                                                   {"しらが", {"白髪"}},
                                                                   {"しろうと", {"素人"}},
                                                                   {"しわす", {"師走"}},
                                                                   {"すきや", {"数寄屋", "数奇屋"}},
                                                                   {"すもう", {"相撲"}},
                                                                   {"ぞうり", {"草履"}},
                                                                   {"だし", {"山車"}},
                                                                   {"たち", {"太刀"}},
                                                                   {"たちのく", {"立ち退く"}},
                                                                   {"たなばた", {"七夕"}},
                                                                   {"たび", {"足袋"}},
                                                                   {"ちご", {"稚児"}},
                                                                   {"ついたち", {"一日"}},
                                                                   {"つきやま", {"築山"}},
                                                                   {"つゆ", {"梅雨"}},
                                                                   {"でこぼこ", {"凸凹"}},
                                                                   {"てつだう", {"手伝う"}},
                                                                   {"てんません", {"伝馬船"}},
                                                                   {"とあみ", {"投網"}},
                                                                   {"とうさん", {"父さん"}},
                                                                   {"とえはたえ", {"十重二十重"}},
                                                                   {"どきょう", {"読経"}},
                                                                   {"とけい", {"時計"}},
                                                                   {"ともだち", {"友達"}},
                                                                   {"なこうど", {"仲人"}},
                                                                   {"なごり", {"名残"}},
                                                                   {"なだれ", {"雪崩"}},
                                                                   {"にいさん", {"兄さん"}},
                                                                   {"ねえさん", {"姉さん"}},
                                                                   {"のら", {"野良"}},
                                                                   {"のりと", {"祝詞"}},
                                                                   {"はかせ", {"博士"}},
                                                                   {"はたち", {"二十", "二十歳"}},
                                                                   {"はつか", {"二十日"}},
                                                                   {"はとば", {"波止場"}},
                                                                   {"ひとり", {"一人"}},
                                                                   {"ひより", {"日和"}},
                                                                   {"ふたり", {"二人"}},
                                                                   {"ふつか", {"二日"}},
                                                                   {"ふぶき", {"吹雪"}},
                                                                   {"へた", {"下手"}},
                                                                   {"へや", {"部屋"}},
                                                                   {"まいご", {"迷子"}},
                                                                   {"まじめ", {"真面目"}},
                                                                   {"まっか", {"真っ赤"}},
                                                                   {"まっさお", {"真っ青"}},
                                                                   {"みやげ", {"土産"}},
                                                                   {"むすこ", {"息子"}},
                                                                   {"めがね", {"眼鏡"}},
                                                                   {"もさ", {"猛者"}},
                                                                   {"もみじ", {"紅葉"}},
                                                                   {"もめん", {"木綿"}},
                                                                   {"もより", {"最寄り"}},
                                                                   {"やおちょう", {"八百長"}},
                                                                   {"やおや", {"八百屋"}},
                                                                   {"やまと", {"大和"}},
                                                                   {"やよい", {"弥生"}},
                                                                   {"ゆかた", {"浴衣"}},
                                                                   {"ゆくえ", {"行方"}},
                                                                   {"よせ", {"寄席"}},
                                                                   {"わこうど", {"若人"}}};

// Words written with the appendix's words that children's texts use: 母さん with お, and so on.
const std::map<std::string, std::string> kWithPrefix = {
    {"お母さん", "母さん"}, {"お父さん", "父さん"}, {"お兄さん", "兄さん"},
    {"お姉さん", "姉さん"}, {"お土産", "土産"},
};

TEST(UserDictionary, RowsAreWellFormedIpaDictionaryEntries) {
  const std::map<std::string, std::string> idOf = {{"名詞,一般", "1285"},
                                                   {"名詞,副詞可能", "1314"},
                                                   {"名詞,形容動詞語幹", "1287"},
                                                   {"連体詞,*", "1315"},
                                                   {"副詞,助詞類接続", "1282"},
                                                   {"副詞,一般", "1281"},
                                                   {"接続詞,*", "555"},
                                                   {"接頭詞,名詞接続", "560"},
                                                   {"名詞,代名詞", "1306"},
                                                   {"助詞,特殊", "323"},  // 哉 かな
                                                   {"助詞,副助詞", "351"},  // 許り ばかり
                                                   {"感動詞,*", "3"},      // 難有う
                                                   {"名詞,サ変接続", "1283"},
                                                   {"名詞,接尾", "1298"},  // 接尾,一般
                                                   {"名詞,固有名詞,地域,一般", "1293"},
                                                   {"名詞,固有名詞,人名,姓", "1290"}};
  for (const char* file : {"fuhyo.csv", "counters.csv", "words.csv"}) {
    for (const Row& row : readCsv(file)) {
      SCOPED_TRACE(std::string(file) + ":" + std::to_string(row.line));
      // A fourteenth field, P, marks a reading that wins over the word list's rarer ones.
      ASSERT_TRUE(row.fields.size() == 13u || (row.fields.size() == 14u && row.fields[13] == "P"));
      std::string pos = row.fields[4] + "," + row.fields[5];
      if (row.fields[5] == "固有名詞") pos += "," + row.fields[6] + "," + row.fields[7];
      ASSERT_TRUE(idOf.contains(pos)) << pos;
      EXPECT_EQ(row.fields[1], idOf.at(pos));
      EXPECT_EQ(row.fields[2], idOf.at(pos));
      EXPECT_EQ(row.fields[10], row.fields[0]);  // the base form is the word
      EXPECT_EQ(row.fields[11], row.fields[12]);
      // The reading in katakana, as the IPA dictionary writes it.
      EXPECT_TRUE(reading::isAllKana(row.fields[11]));
      EXPECT_NE(reading::toHiragana(row.fields[11]), row.fields[11]);
    }
  }
}

// A verb IPAdic misreads is conjugated as IPAdic conjugates it: each form has its class's ids,
// the one base form, and a reading that starts with the base form's stem.
TEST(UserDictionary, VerbAndAdjectiveRowsAreEveryFormOfTheirBaseForm) {
  const std::vector<Row> rows = readCsv("verbs.csv");
  ASSERT_FALSE(rows.empty());
  for (const Row& row : rows) {
    SCOPED_TRACE("verbs.csv:" + std::to_string(row.line));
    ASSERT_EQ(row.fields.size(), 13u);
    const std::string partOfSpeech = row.fields[4] + "," + row.fields[5];
    EXPECT_TRUE(partOfSpeech == "動詞,自立" || partOfSpeech == "形容詞,自立") << partOfSpeech;
    EXPECT_EQ(row.fields[1], row.fields[2]);
    EXPECT_EQ(row.fields[11], row.fields[12]);
    EXPECT_TRUE(reading::isAllKana(row.fields[11]));
    const Row* base = nullptr;
    for (const Row& other : rows) {
      if (other.fields[9] == "基本形" && other.fields[0] == row.fields[10]) base = &other;
    }
    ASSERT_NE(base, nullptr) << row.fields[10] << " has no base form";
    const std::string& baseReading = base->fields[11];
    const std::size_t stem = baseReading.size() - std::string_view("ル").size();  // or イ
    EXPECT_EQ(row.fields[11].substr(0, stem), baseReading.substr(0, stem)) << row.fields[0];
  }
}

TEST(UserDictionary, AppendixWordsReadAsTheNoticeHasThem) {
  for (const Row& row : readCsv("fuhyo.csv")) {
    std::string word = row.fields[0];
    const std::string reading = reading::toHiragana(row.fields[11]);
    std::string expected = reading;
    if (kWithPrefix.contains(word)) {
      word = kWithPrefix.at(word);
      expected = reading.substr(std::string_view("お").size());
    }
    bool found = false;
    for (const auto& [appendixReading, words] : kAppendix) {
      for (const std::string& w : words) {
        if (w == word) {
          EXPECT_EQ(expected, appendixReading) << row.fields[0];
          found = true;
        }
      }
    }
    EXPECT_TRUE(found) << row.fields[0] << " is not in the appendix";
  }
}

TEST(UserDictionary, CountedWordsCarryTheSoundChangesOfTheirCounter) {
  std::map<std::string, std::string> written;
  for (const Row& row : readCsv("counters.csv")) {
    written[row.fields[0]] = reading::toHiragana(row.fields[11]);
  }
  const std::map<std::string, std::string> expected = {
      {"一本", "いっぽん"},       {"三本", "さんぼん"},
      {"六本", "ろっぽん"},       {"十本", "じゅっぽん"},
      {"八分", "はっぷん"},       {"四分", "よんぷん"},
      {"一課", "いっか"},         {"十課", "じゅっか"},
      {"三階", "さんがい"},       {"四時", "よじ"},
      {"七時", "しちじ"},         {"九時", "くじ"},
      {"十二月", "じゅうにがつ"}, {"四人", "よにん"},
      {"十日", "とおか"},         {"二十四日", "にじゅうよっか"},
      {"一つ", "ひとつ"},         {"九つ", "ここのつ"},
  };
  for (const auto& [word, reading] : expected) {
    ASSERT_TRUE(written.contains(word)) << word;
    EXPECT_EQ(written.at(word), reading) << word;
  }
  // Read otherwise in context, or held by the appendix words.
  for (const char* word : {"十分", "一日", "一人", "二人", "二日", "十つ"}) {
    EXPECT_FALSE(written.contains(word)) << word;
  }
}

}  // namespace
}  // namespace torvane
