// Ruby pieces: a word's reading divided on the word's kana, each piece a run of kanji or, where
// the reading cannot be divided, several runs with the kana between them.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "reading/ruby_pieces.h"
#include "sjis/codec.h"

namespace torvane {
namespace {

using reading::RubyPiece;
using reading::WordChar;

std::vector<WordChar> charsOf(const std::string& utf8) {
  sjis::SjisEncoder encoder(sjis::LineBreaks::ToCrLf, true);
  if (encoder.appendUtf8(utf8)) throw std::runtime_error("invalid UTF-8 in a test word");
  const sjis::SjisText text = std::move(encoder).finish(0).text;
  return reading::wordChars(text, 0, text.size());
}

// The word with its pieces in Aozora notation, the way a reader checks them:
// ｜引《ひ》っ｜越《こ》し.
std::string marked(const std::vector<WordChar>& word, const std::vector<RubyPiece>& pieces) {
  std::string out;
  std::size_t at = 0, next = 0;
  for (const WordChar& c : word) {
    if (next < pieces.size() && at == pieces[next].offset) out += "｜";
    sjis::appendUtf8(out, c.value);
    at += c.length;
    if (next < pieces.size() && at == pieces[next].offset + pieces[next].length) {
      out += "《" + pieces[next].reading + "》";
      ++next;
    }
  }
  return out;
}

TEST(RubyPieces, AlignedOnTheWordsKana) {
  const struct {
    const char* name;
    const char* word;
    const char* reading;
    const char* pieces;
  } cases[] = {
      {"okurigana and a small tsu", "引っ越し", "ひっこし", "｜引《ひ》っ｜越《こ》し"},
      {"katakana okurigana match as hiragana", "引ッ越シ", "ひっこし", "｜引《ひ》ッ｜越《こ》シ"},
      {"katakana and the prolonged sound mark stay bare", "実効ユーザー", "じっこうゆーざー",
       "｜実効《じっこう》ユーザー"},
      {"katakana before the kanji", "スキー場", "すきーじょう", "スキー｜場《じょう》"},
      {"a prefix and a suffix in kana", "お姉さん", "おねえさん", "お｜姉《ねえ》さん"},
      {"a compound verb with its ending", "読み始めた", "よみはじめた",
       "｜読《よ》み｜始《はじ》めた"},
      {"a kanji run is one piece", "高等学校", "こうとうがっこう",
       "｜高等学校《こうとうがっこう》"},
      {"a reading given to the whole run (jukujikun)", "今日", "きょう", "｜今日《きょう》"},
      {"jukujikun before okurigana", "大人しい", "おとなしい", "｜大人《おとな》しい"},
      {"the iteration mark goes with its kanji", "時々", "ときどき", "｜時々《ときどき》"},
      {"rendaku inside a run stays in its piece", "人々の", "ひとびとの", "｜人々《ひとびと》の"},
      {"a gemination at a joint stays in the piece before", "一っ飛び", "ひとっとび",
       "｜一《ひと》っ｜飛《と》び"},
      // Where the same kana could be matched at two places, the earlier piece takes the shorter.
      {"an anchor that appears twice", "赤い糸", "あかいいと", "｜赤《あか》い｜糸《いと》"},
      {"the anchor repeated at the start of the next reading", "思い入れ", "おもいいれ",
       "｜思《おも》い｜入《い》れ"},
      // ヶ is read か, こ or が, never as its own kana: it cannot be an anchor.
      {"a kana the reading does not hold joins the runs", "三ヶ月", "さんかげつ",
       "｜三ヶ月《さんかげつ》"},
      {"a red letter is read with its kanji", "Ｘ線", "えっくすせん", "｜Ｘ線《えっくすせん》"},
  };
  for (const auto& c : cases) {
    const std::vector<WordChar> word = charsOf(c.word);
    const std::vector<RubyPiece> pieces = reading::alignRuby(word, c.reading);
    EXPECT_EQ(marked(word, pieces), c.pieces) << c.name;
    EXPECT_EQ(reading::spellPieces(word, pieces), c.reading) << c.name;
  }
}

// A reading that contradicts the word's kana (a typed one, most likely) still gives ruby: one
// piece over what could not be matched, which may then start or end with kana.
TEST(RubyPieces, AReadingThatCannotBeAlignedIsOnePiece) {
  const struct {
    const char* name;
    const char* word;
    const char* reading;
    const char* pieces;
  } cases[] = {
      {"no anchor in the reading", "引っ越し", "いてん", "｜引っ越し《いてん》"},
      {"the last kana matched", "引っ越し", "いてし", "｜引っ越《いて》し"},
      {"the first kana not in the reading", "お姉さん", "ねえさん", "｜お姉《ねえ》さん"},
      {"a reading too short for two pieces", "引っ越し", "ひし", "｜引っ越《ひ》し"},
      {"a reading that is only the kana", "引っ越し", "っし", "｜引っ越《っ》し"},
  };
  for (const auto& c : cases) {
    const std::vector<WordChar> word = charsOf(c.word);
    const std::vector<RubyPiece> pieces = reading::alignRuby(word, c.reading);
    EXPECT_EQ(marked(word, pieces), c.pieces) << c.name;
    EXPECT_EQ(reading::spellPieces(word, pieces), c.reading) << c.name;
  }
}

// Words of kanji, kana, katakana and letters with readings of random kana: whatever the reading,
// the pieces lie inside the word in order, each non-empty with a reading, and spell it (a word
// of kana alone that reads as written needs none).
TEST(RubyPieces, AnyReadingIsSpelledByItsPieces) {
  const std::u32string alphabet = U"漢字々引越っしかこひーアッシＸ";
  const std::u32string kana = U"かこひっしあーき";
  std::mt19937 random(2026);
  for (int round = 0; round < 3000; ++round) {
    std::string word, reading;
    for (std::size_t n = 1 + random() % 8; n > 0; --n)
      sjis::appendUtf8(word, alphabet[random() % alphabet.size()]);
    for (std::size_t n = 1 + random() % 10; n > 0; --n)
      sjis::appendUtf8(reading, kana[random() % kana.size()]);
    const std::vector<WordChar> chars = charsOf(word);
    std::size_t size = 0;
    for (const WordChar& c : chars) size += c.length;
    const std::vector<RubyPiece> pieces = reading::alignRuby(chars, reading, 4);
    std::size_t end = 4;
    for (const RubyPiece& piece : pieces) {
      ASSERT_GE(piece.offset, end) << word << " " << reading;
      ASSERT_GT(piece.length, 0u) << word << " " << reading;
      ASSERT_FALSE(piece.reading.empty()) << word << " " << reading;
      end = piece.offset + piece.length;
    }
    ASSERT_LE(end, 4 + size) << word << " " << reading;
    ASSERT_EQ(reading::spellPieces(chars, pieces, 4), reading) << word << " " << reading;
  }
}

TEST(RubyPieces, OffsetsAreInBytesOfTheCheckedText) {
  // 鷗 stands outside the code page as a two-byte placeholder, 1 is one byte.
  const std::vector<WordChar> word = charsOf("1鷗の外");
  EXPECT_EQ(reading::alignRuby(word, "いちかもめのそと", 10),
            (std::vector<RubyPiece>{{10, 3, "いちかもめ"}, {15, 2, "そと"}}));
}

TEST(RubyPieces, NoReadingNoPieces) {
  EXPECT_TRUE(reading::alignRuby(charsOf("鷗外"), "").empty());
  EXPECT_TRUE(reading::alignRuby({}, "かな").empty());
}

TEST(RubyPieces, ReadingsThePiecesCanCarry) {
  const struct {
    const char* reading;
    bool hiragana;
  } cases[] = {
      {"ぁ", true},        {"ゖ", true},  {"ゝゞー", true}, {"ひらがな", true},
      {"", false},         {"〆", false}, {"仝", false},    {"，とう", false},
      {"カタカナ", false}, {"ゟ", false}, {"ゔ", true},     {"a", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(reading::isHiraganaReading(c.reading), c.hiragana) << c.reading;
  }
}

}  // namespace
}  // namespace torvane
