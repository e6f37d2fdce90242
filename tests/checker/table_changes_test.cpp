#include "checker/table_changes.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>

#include "checker/report.h"
#include "checker/table_sets.h"
#include "sjis/codec.h"
#include "support/sjis_literals.h"

namespace torvane::checker {
namespace {

using torvane::testing::sjisOf;
using Stages = std::pair<Stage, Stage>;  // 1989, 2020

constexpr Stage G4 = Stage::Grade4, G5 = Stage::Grade5, G6 = Stage::Grade6;
constexpr Stage JH = Stage::JuniorHigh, Beyond = Stage::Beyond;

std::vector<std::string> eachUtf8(std::string_view utf8) {
  std::vector<std::string> out;
  for (char32_t c : sjis::decodeUtf8(utf8).text) {
    out.emplace_back();
    sjis::appendUtf8(out.back(), c);
  }
  return out;
}

// The official changes: the 2017 allocation against the 1989 one, the 2010 jōyō list against the
// 1981 one.
std::map<std::string, Stages> officialChanges() {
  std::map<std::string, Stages> changes;
  auto add = [&](std::string_view kanji, Stage before, Stage after) {
    for (const std::string& k : eachUtf8(kanji)) changes[k] = {before, after};
  };
  add("井佐岐崎沖滋潟縄香", JH, G4);          // added to grade 4, junior high in 1981
  add("埼奈媛岡栃梨熊茨阜阪鹿", Beyond, G4);  // added to grade 4, new in the 2010 list
  add("囲喜紀救型航告殺史士象賞貯停堂得毒費粉脈歴", G4, G5);
  add("胃腸", G4, G6);
  add("賀群徳富", G5, G4);
  add("恩券承舌銭退敵俵預", G5, G6);
  add("城", G6, G4);
  add("勺匁脹銑錘", JH, Beyond);  // removed by the 2010 list
  return changes;
}

TEST(AllTableChanges, AreTheOfficialChangesAndTheAddedJoyoKanji) {
  const std::vector<TableChange> all = allTableChanges();
  std::map<std::string, Stages> listed;
  std::set<std::string> addedToJoyo;
  for (const TableChange& change : all) {
    const std::string k = sjis::toUtf8(change.character);
    EXPECT_EQ(change.occurrences, 0u) << k;
    EXPECT_TRUE(listed.emplace(k, Stages{change.stage1989, change.stage2020}).second) << k;
  }
  std::map<std::string, Stages> rest = listed;
  for (const auto& [k, stages] : officialChanges()) {
    EXPECT_EQ(listed.count(k), 1u) << k;
    if (listed.count(k)) {
      EXPECT_EQ(listed[k], stages) << k;
    }
    rest.erase(k);
  }
  // Everything else is a kanji the 2010 list added that stays in junior high: 196 added, less
  // the 11 that went to grade 4, plus the four official forms beside their stand-ins.
  for (const auto& [k, stages] : rest) EXPECT_EQ(stages, (Stages{Beyond, JH})) << k;
  EXPECT_EQ(rest.size(), 196u - 11u + 4u);
  for (std::string_view k : {"誰", "頃", "叱", "𠮟", "填", "塡", "剥", "剝", "頬", "頰", "鬱"}) {
    EXPECT_TRUE(rest.contains(std::string(k))) << k;
  }
  EXPECT_EQ(all.size(), 20u + 37u + 5u + 189u);
}

TEST(AllTableChanges, GroupedByTheNewStageThenTheOldInCodeOrder) {
  const std::vector<TableChange> all = allTableChanges();
  ASSERT_FALSE(all.empty());
  auto key = [](const TableChange& c) {
    const char32_t foreign = c.character.foreign();
    return std::tuple(c.stage2020, c.stage1989, foreign != 0,
                      foreign != 0 ? static_cast<std::uint32_t>(foreign) : c.character.code());
  };
  for (std::size_t i = 1; i < all.size(); ++i) {
    EXPECT_LT(key(all[i - 1]), key(all[i])) << i;
  }
  EXPECT_EQ(sjis::toUtf8(all.front().character), "賀");  // grade 5 to 4, lowest code
  EXPECT_EQ(all.back().stage1989, JH);
  EXPECT_EQ(all.back().stage2020, Beyond);
}

// A character with a stage in one set has one in the other, so no change is left out for want of
// a stage.
TEST(AllTableChanges, NoCharacterHasAStageInOneSetOnly) {
  const Classifier& before = classifierFor(tables::TableSet::Tables1989);
  const Classifier& after = classifierFor(tables::TableSet::Tables2020);
  auto staged = [](const Classifier& c, const sjis::SjisChar& ch) {
    return c.classify(ch, 0).stage.has_value();
  };
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (!sjis::isLeadRange(lead)) continue;
    for (unsigned trail = 0; trail < 0x100; ++trail) {
      const auto ch = sjis::SjisChar::pair(lead, trail);
      ASSERT_EQ(staged(before, ch), staged(after, ch)) << lead << " " << trail;
    }
  }
}

struct TextCase {
  const char* name;
  const char* text;
  std::vector<std::tuple<std::string, Stage, Stage, std::size_t>> expected;
};

TEST(TableChanges, OfATextInOrderOfFirstAppearanceWithCounts) {
  const TextCase cases[] = {
      {"none", "学校の先生。ABC、鷗外", {}},
      {"empty", "", {}},
      {"prefectures and moved kanji",
       "岡山と埼玉の城。誰が頃、岡山に？\r\n城",
       {{"岡", Beyond, G4, 2},
        {"埼", Beyond, G4, 1},
        {"城", G6, G4, 2},
        {"誰", Beyond, JH, 1},
        {"頃", Beyond, JH, 1}}},
      {"official form and stand-in are two entries",
       "𠮟る、叱る、𠮟責、勺",
       {{"𠮟", Beyond, JH, 2}, {"叱", Beyond, JH, 1}, {"勺", JH, Beyond, 1}}},
      {"a trail byte that looks like a lead does not start a character",
       // 岡 is 0x89 0xAA; ア 0x83 0x41 before it keeps the division aligned.
       "ア岡",
       {{"岡", Beyond, G4, 1}}},
  };
  for (const TextCase& c : cases) {
    std::vector<std::tuple<std::string, Stage, Stage, std::size_t>> got;
    for (const TableChange& change : tableChanges(sjisOf(c.text))) {
      got.emplace_back(sjis::toUtf8(change.character), change.stage1989, change.stage2020,
                       change.occurrences);
    }
    EXPECT_EQ(got, c.expected) << c.name;
  }
}

TEST(TableChanges, CharactersAreDividedAsTheCheckDividesThem) {
  // 0x89 0xAA is 岡; after a lone lead byte 0x81 the byte 0x89 is a trail byte, so the text holds
  // the pair 81 89 and then the single byte AA, not 岡.
  EXPECT_TRUE(tableChanges(sjis::rawSjis("\x81\x89\xaa")).empty());
  EXPECT_EQ(tableChanges(sjis::rawSjis("\x89\xaa")).size(), 1u);
  // A lead byte cut off at the end is an incomplete character, beyond in both sets.
  EXPECT_TRUE(tableChanges(sjis::rawSjis("\x89")).empty());
}

TEST(TableChanges, AsTabSeparatedText) {
  const std::vector<TableChange> changes = tableChanges(sjisOf("城と𠮟る、城"));
  EXPECT_EQ(tableChangesText(changes, true),
            "文字\t1989年の表\t2020年の表\t回数\n"
            "城\t小学六年で習う漢字\t小学四年で習う漢字\t2\n"
            "𠮟\t中学までに習わない(漢)字\t中学三年間で習う漢字\t1\n");
  EXPECT_EQ(tableChangesText(changes, false),
            "文字\t1989年の表\t2020年の表\n"
            "城\t小学六年で習う漢字\t小学四年で習う漢字\n"
            "𠮟\t中学までに習わない(漢)字\t中学三年間で習う漢字\n");
  EXPECT_EQ(tableChangesText({}, true), "文字\t1989年の表\t2020年の表\t回数\n");
}

TEST(Stage, KeysAndWordsMatchTheReport) {
  for (const ReportSection& section : kReportSections) {
    const Stage stage = section.stage;
    std::string header(section.header);
    std::erase_if(header, [](char c) { return c == ' ' || c == '-'; });
    EXPECT_EQ(header, stageWords(stage)) << stageKey(stage);
  }
  EXPECT_EQ(stageKey(Stage::Grade1), "grade1");
  EXPECT_EQ(stageKey(Stage::JuniorHigh), "junior_high");
  EXPECT_EQ(stageKey(Stage::Beyond), "beyond");
}

}  // namespace
}  // namespace torvane::checker
