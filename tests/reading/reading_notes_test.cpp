// The readings of learnt kanji judged by school stage: what a teacher is told about 今上, and
// what must not be noted (sound changes in compounds, okurigana, the appendix words).
#include "reading/reading_notes.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "reading/kana.h"
#include "sjis/codec.h"

namespace torvane::reading {
namespace {

sjis::SjisText sjisOf(std::string_view utf8) {
  std::u32string text;
  for (std::size_t i = 0; i < utf8.size(); i += utf8CharAt(utf8, i).length)
    text.push_back(utf8CharAt(utf8, i).value);
  return sjis::encode(text).text;
}

// The notes as "今きん:junior_high", one after the other.
std::string written(const std::vector<ReadingNote>& notes) {
  std::string out;
  for (const ReadingNote& n : notes) {
    if (!out.empty()) out += " ";
    out += sjis::toUtf8(n.character) + n.reading + ":" + std::string(noteStageKey(n.stage));
  }
  return out;
}

// A word on its own, every kanji judged, its reading in pieces as the proposals align it.
std::string notesOf(std::string_view word, std::string_view reading, int level) {
  const sjis::SjisText text = sjisOf(word);
  const std::vector<RubyPiece> pieces = alignRuby(wordChars(text, 0, text.size()), reading);
  return written(judgeWord(text, 0, text.size(), pieces, level, [](std::size_t) { return true; }));
}

struct Case {
  const char* word;
  const char* reading;
  int level;
  const char* notes;
};

TEST(ReadingNotes, AReadingTaughtLaterIsNotedWithItsStage) {
  const Case cases[] = {
      {"今上", "きんじょう", 0, "今きん:junior_high"},
      {"今上", "きんじょう", 5, "今きん:junior_high"},
      {"今上", "きんじょう", 6, ""},  // level 6 has taught the junior-high readings
      {"生糸", "きいと", 3, "生き:junior_high"},
      {"今上天皇", "きんじょうてんのう", 0, "今きん:junior_high"},  // 皇 おう after ん
      {"上人", "しょうにん", 5, "上しょう:high_school"},
      {"上人", "しょうにん", 6, "上しょう:high_school"},
      {"側", "そば", 6, "側そば:outside_joyo"},  // a lone kanji read as the list never reads it
      {"今", "いま", 0, ""},
      {"上", "うえ", 0, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(notesOf(c.word, c.reading, c.level), c.notes)
        << c.word << " " << c.reading << " level " << c.level;
  }
}

TEST(ReadingNotes, SoundChangesOkuriganaAndAppendixWordsGiveNoNote) {
  const Case cases[] = {
      {"学校", "がっこう", 0, ""},        // がく with a small っ before こう
      {"小川", "おがわ", 0, ""},          // rendaku of かわ
      {"三日月", "みかづき", 0, ""},      // rendaku at the third kanji
      {"一本", "いっぽん", 0, ""},        // both at once
      {"三百", "さんびゃく", 0, ""},      //
      {"人々", "ひとびと", 0, ""},        // 々 repeats 人 with rendaku
      {"生きる", "いきる", 0, ""},        // the stem of い-きる
      {"行なう", "おこなう", 0, ""},      // okurigana written longer than the list's
      {"受付", "うけつけ", 0, ""},        // okurigana left out
      {"書留", "かきとめ", 0, ""},        // left out and conjugated: か-く, と-める
      {"来ない", "こない", 0, ""},        // く-る as it conjugates
      {"十本", "じゅっぽん", 0, ""},      // 「ジュッ」とも
      {"今日", "きょう", 0, ""},          // an appendix word, read as a whole
      {"今日", "こんにち", 0, ""},        // the same word read kanji by kanji
      {"今日中", "きょうじゅう", 0, ""},  // an appendix word inside a longer run
      {"お母さん", "おかあさん", 0, ""},  // and with kana around it
      {"真っ赤", "まっか", 0, ""},       {"大人", "おとな", 0, ""},
      {"反応", "はんのう", 0, ""},    // the liaison of おう after ん
      {"預ける", "あづける", 0, ""},  // づ for ず, as some dictionaries spell it
      {"鼻血", "はなぢ", 0, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(notesOf(c.word, c.reading, c.level), c.notes)
        << c.word << " " << c.reading << " level " << c.level;
  }
}

TEST(ReadingNotes, RendakuAndASmallTsuOnlyInsideTheWord) {
  // かわ voiced at the start of a word, がく doubled at its end: no sound change explains
  // them, so the lone kanji's reading is none of the list's.
  EXPECT_EQ(notesOf("川", "がわ", 0), "川がわ:outside_joyo");
  EXPECT_EQ(notesOf("学", "がっ", 0), "学がっ:outside_joyo");
  EXPECT_EQ(notesOf("側", "がわ", 0), "");  // listed as がわ itself
}

TEST(ReadingNotes, NoDivisionNoNote) {
  // 明日 read あした is no appendix word and no division of its kanji: rather no note than a
  // false one.
  EXPECT_EQ(notesOf("明日", "あした", 0), "");
  // A division with no note wins over one with a note: 上手 read うわて (うわ, て).
  EXPECT_EQ(notesOf("上手", "うわて", 0), "");
  EXPECT_EQ(notesOf("今上", "", 0), "");  // no reading, nothing to judge
}

TEST(ReadingNotes, ARunTooLongForAWordGivesNoNote) {
  // 5,000 学校 in one run read がっこう each used to ask the division for gigabytes.
  std::string word;
  std::string reading;
  for (int i = 0; i < 5000; ++i) {
    word += "学校";
    reading += "がっこう";
  }
  EXPECT_EQ(notesOf(word, reading, 0), "");
  // Thirty-two kanji are still a word to divide: 上 read しょう is noted in it; one more is not.
  word = "上人";
  reading = "しょうにん";
  for (int i = 0; i < 15; ++i) {
    word += "学校";
    reading += "がっこう";
  }
  EXPECT_EQ(notesOf(word, reading, 0), "上しょう:high_school");
  EXPECT_EQ(notesOf(word + "学", reading + "がく", 0), "");
}

TEST(ReadingNotes, OnlyJudgedKanjiAreNoted) {
  const sjis::SjisText text = sjisOf("今上");
  const std::vector<RubyPiece> pieces = {{0, 4, "きんじょう"}};
  // 今 red (or a known kanji, an allowed word): it still takes its part of the reading.
  const auto notes =
      judgeWord(text, 0, 4, pieces, 0, [](std::size_t offset) { return offset != 0; });
  EXPECT_EQ(written(notes), "");
  const auto all = judgeWord(text, 0, 4, pieces, 0, [](std::size_t) { return true; });
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].offset, 0u);
  EXPECT_EQ(all[0].length, 2u);
  EXPECT_EQ(all[0].wordOffset, 0u);
  EXPECT_EQ(all[0].wordLength, 4u);
}

TEST(ReadingNotes, AnAppendixWordOverSeveralPiecesIsReadAsAWhole) {
  const sjis::SjisText text = sjisOf("差し支える");
  // 差 さ | し | 支 つか | える: つか is no reading of 支 (シ, ささ-える), but the word is 付表.
  const std::vector<RubyPiece> pieces = {{0, 2, "さ"}, {4, 2, "つか"}};
  auto judged = [](std::size_t) { return true; };
  EXPECT_EQ(written(judgeWord(text, 0, text.size(), pieces, 0, judged)), "");
  // The same pieces outside the word: 支 alone read つか.
  const sjis::SjisText other = sjisOf("差に支える");
  EXPECT_EQ(written(judgeWord(other, 0, other.size(), pieces, 0, judged)), "支つか:outside_joyo");
}

}  // namespace
}  // namespace torvane::reading
