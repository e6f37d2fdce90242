// When the ruby editors gave a word decides its reading, as a table of what they gave.
#include <gtest/gtest.h>

#include <vector>

#include "reading/editors_ruby.h"

namespace torvane::reading {
namespace {

TEST(EditorsRuby, ChoosesWhatEditorsMostlyGaveInEnoughAuthorsWorks) {
  const struct {
    const char* what;
    std::vector<EditorsRuby> given;
    const char* okurigana;
    const char* current;
    const char* chosen;
  } cases[] = {
      {"given by enough authors",
       {{"*", "いのち", 14}, {"*", "せいめい", 1}},
       "",
       "せいめい",
       "いのち"},
      {"by too few authors", {{"*", "いのち", 1}}, "", "せいめい", ""},
      {"one reading among several",
       {{"*", "かど", 5}, {"*", "つの", 4}, {"*", "すみ", 2}},
       "",
       "かく",
       ""},
      {"the dictionary's given more than a third as often",
       {{"*", "まきば", 5}, {"*", "ぼくじょう", 2}},
       "",
       "ぼくじょう",
       ""},
      {"the dictionary's given less than a third as often",
       {{"*", "まきば", 7}, {"*", "ぼくじょう", 2}},
       "",
       "ぼくじょう",
       "まきば"},
      {"already the dictionary's: nothing to change", {{"*", "こがね", 6}}, "", "こがね", ""},
      {"before the same okurigana", {{"っ", "おこ", 5}, {"*", "いか", 9}}, "って", "いか", "おこ"},
      {"not before other okurigana", {{"り", "いか", 5}}, "って", "おこ", ""},
      {"without okurigana, not what was given before some", {{"っ", "おこ", 5}}, "", "ど", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(chooseEditorsReading(c.given, c.okurigana, c.current), c.chosen) << c.what;
  }
  // A caller may ask for more authors than the least.
  const std::vector<EditorsRuby> gloss = {{"*", "ゆきき", 6}};
  EXPECT_EQ(chooseEditorsReading(gloss, "", "おうらい", 6), "ゆきき");
  EXPECT_EQ(chooseEditorsReading(gloss, "", "おうらい", 10), "");
}

}  // namespace
}  // namespace torvane::reading
