// Proposals mapped onto the checked Shift_JIS bytes, the rewrite in every mode and format, and
// opening the analyser.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rewriting/rewrite.h"
#include "support/reading_fixture.h"

namespace torvane {
namespace {

using reading::Mode;
using reading::Proposal;

TEST(ReadingProposals, CoverWholeCharactersOfTheCheckedBytes) {
  // 葛 with a variation selector (no bytes of its own), 鷗 outside Shift_JIS (a placeholder
  // pair), a full-width space and CR LF before the last word. Level 2: 葛, 鷗, 飾, 危, 険 are red.
  const testing::Checked checked("葛\U000E0100飾区の鷗外\r\n\u3000危険", 2);
  const std::vector<Proposal> proposals = checked.propose();
  ASSERT_EQ(proposals.size(), 3u);

  EXPECT_EQ(proposals[0].offset, 0u);
  EXPECT_EQ(proposals[0].length, 6u);
  EXPECT_EQ(proposals[0].word, "葛\U000E0100飾区");  // the selector goes with its kanji
  EXPECT_EQ(proposals[0].reading, "かつしかく");
  ASSERT_EQ(proposals[0].problems.size(), 2u);
  EXPECT_EQ(proposals[0].problems[0], sjis::SjisChar::pair(0x8a, 0x8b));  // 葛
  EXPECT_EQ(proposals[0].hardest, checker::Stage::Beyond);

  EXPECT_EQ(proposals[1].offset, 8u);
  EXPECT_EQ(proposals[1].length, 4u);
  EXPECT_EQ(proposals[1].word, "鷗外");
  EXPECT_EQ(proposals[1].reading, "おうがい");  // read as the dictionary's 鴎外
  EXPECT_EQ(proposals[1].problems, std::vector{sjis::SjisChar::outsideCodePage(U'鷗')});

  EXPECT_EQ(proposals[2].offset, 16u);  // after CR LF and the full-width space
  EXPECT_EQ(proposals[2].length, 4u);
  EXPECT_EQ(proposals[2].word, "危険");
  EXPECT_EQ(proposals[2].hardest, checker::Stage::Grade6);
}

TEST(ReadingProposals, OnlyWordsWithARedCharacterNeverOverlapping) {
  const std::string text = "先生は学校で漢字と算数を教えた。一二三\n";
  for (int level = -1; level <= 6; ++level) {
    const testing::Checked checked(text, level);
    const std::vector<Proposal> proposals = checked.propose();
    std::size_t end = 0;
    for (const Proposal& p : proposals) {
      EXPECT_GE(p.offset, end) << level;
      EXPECT_FALSE(p.problems.empty()) << level;
      end = p.offset + p.length;
    }
    EXPECT_LE(end, checked.converted.text.size());
    if (level == 6) {
      EXPECT_TRUE(proposals.empty());  // every kanji of the text is taught by then
    }
  }
}

TEST(ReadingProposals, EveryRedCharacterAndAReadingInHiraganaOrNone) {
  const struct {
    const char* what_used_to_break;
    const char* text;
    int level;
    const char* word;
    const char* reading;
    std::vector<std::string> problems;
  } cases[] = {
      {"red letters were left out of problems",
       "ＡＢＣ順",
       0,
       "ＡＢＣ順",
       "えーびーしーじゅん",
       {"Ａ", "Ｂ", "Ｃ", "順"}},
      {"a red letter before katakana was left out",
       "Ｔシャツ売場",
       0,
       "Ｔシャツ売場",
       "てぃーしゃつうりば",
       {"Ｔ", "売", "場"}},
      {"a grey letter is no problem",
       "Ｘ線検査",
       3,
       "Ｘ線検査",
       "えっくすせんけんさ",
       {"検", "査"}},
      // The symbols' own entries gave 〆 and 仝 as their readings; the word list reads them.
      {"the symbol's entry gave 〆 as its reading", "〆", 0, "〆", "しめ", {"〆"}},
      {"the symbol's entry gave 仝 as its reading", "仝上", 0, "仝", "どうじょう", {"仝"}},
      {"a comma's entry gave ，とう", "，等", 0, "，等", "", {"等"}},
  };
  for (const auto& c : cases) {
    const std::vector<Proposal> proposals = testing::Checked(c.text, c.level).propose();
    ASSERT_EQ(proposals.size(), 1u) << c.what_used_to_break;
    const Proposal& p = proposals[0];
    EXPECT_EQ(p.word, c.word) << c.what_used_to_break;
    EXPECT_EQ(p.reading, c.reading) << c.what_used_to_break;
    std::vector<std::string> problems;
    for (const sjis::SjisChar& problem : p.problems) problems.push_back(sjis::toUtf8(problem));
    EXPECT_EQ(problems, c.problems) << c.what_used_to_break;
  }
}

TEST(ReadingProposals, PiecesSpellTheReadingInBytesOfTheCheckedText) {
  {
    const testing::Checked checked("　引っ越し", -1);
    const std::vector<Proposal> proposals = checked.propose();
    ASSERT_EQ(proposals.size(), 1u);
    EXPECT_EQ(proposals[0].ruby, (std::vector<reading::RubyPiece>{{2, 2, "ひ"}, {6, 2, "こ"}}));
  }
  // Over a text of many kinds of words: pieces inside their word, in order, and spelling it.
  const testing::Checked checked(
      "お姉さんは書けば危険な爆発を読み始めた。四月一日に二人で三本の木を見た。"
      "実効ユーザーは今日、大人しく引っ越しの荷物を運び、時々ＡＢＣ順に並べた。鷗外",
      -1);
  const std::vector<Proposal> proposals = checked.propose();
  ASSERT_GT(proposals.size(), 15u);
  for (const Proposal& p : proposals) {
    EXPECT_TRUE(p.reading.empty() || reading::isHiraganaReading(p.reading)) << p.word;
    EXPECT_EQ(p.ruby.empty(), p.reading.empty()) << p.word;
    std::size_t end = p.offset;
    for (const reading::RubyPiece& piece : p.ruby) {
      EXPECT_GE(piece.offset, end) << p.word;
      end = piece.offset + piece.length;
    }
    EXPECT_LE(end, p.offset + p.length) << p.word;
    const auto chars = reading::wordChars(checked.converted.text, p.offset, p.length);
    if (!p.reading.empty()) {
      EXPECT_EQ(reading::spellPieces(chars, p.ruby, p.offset), p.reading) << p.word;
    }
  }
}

TEST(ReadingProposals, OfferTheOtherReadingsOfTheDictionaryAndOfEditors) {
  const struct {
    const char* text;
    const char* offered;
  } cases[] = {
      {"明日", "あす"},          // the dictionary's
      {"往来", "ゆきき"},        // editors' of older prose
      {"お酒宴", "おさかもり"},  // theirs after お
  };
  for (const auto& c : cases) {
    const std::vector<Proposal> proposals = testing::Checked(c.text, -1).propose();
    ASSERT_EQ(proposals.size(), 1u) << c.text;
    const std::vector<std::string>& choices = proposals[0].choices;
    ASSERT_FALSE(choices.empty()) << c.text;
    EXPECT_EQ(choices.front(), proposals[0].reading) << c.text;
    EXPECT_EQ(std::count(choices.begin(), choices.end(), c.offered), 1) << c.text;
  }
}

TEST(ReadingProposals, ShiftJisWithoutSourceIsDecodedWithItsMap) {
  // 漢字 and a lone lead byte at the end: it decodes as U+FFFD and stays out of every word.
  const sjis::SjisText text = sjis::rawSjis("\x8a\xbf\x8e\x9a\r\n\x82\xa0\x81");
  const reading::DecodedText decoded = reading::decodeWithSourceMap(text);
  EXPECT_EQ(decoded.utf8, "漢字\r\nあ\uFFFD");
  ASSERT_EQ(decoded.converted.sourceOf.size(), text.size() + 1);
  EXPECT_EQ(decoded.converted.sourceOf[1], 0u);  // a trail byte maps to its character
  EXPECT_EQ(decoded.converted.sourceOf[2], 3u);
  EXPECT_EQ(decoded.converted.sourceOf[8], 11u);
  EXPECT_EQ(decoded.converted.sourceOf[9], decoded.utf8.size());
}

TEST(ReadingProposals, TextWithoutSourceMapIsRefused) {
  const sjis::EncodedText noMap = sjis::encode(U"漢字");
  const reading::CheckedText text{"漢字", noMap, {}};
  EXPECT_THROW(reading::propose(testing::testAnalyzer(), text, testing::testClassifier()),
               std::invalid_argument);
  EXPECT_THROW(reading::rewrite(text, {}, {}, reading::Format::Text), std::invalid_argument);
}

TEST(ReadingRewrite, EachWordInItsOwnModeWithTheReadingItIsGiven) {
  const testing::Checked checked("お姉さんが書けば\r\n𩸽が来た", -1);
  std::vector<Proposal> proposals = checked.propose();
  ASSERT_EQ(proposals.size(), 4u);  // お姉さん 書け 𩸽 来た
  proposals[1].reading = "かけ";    // as the teacher left it
  proposals[3].reading = "きた";
  const std::vector<Mode> modes = {Mode::Ruby, Mode::Kana, Mode::Ruby, Mode::Keep};
  EXPECT_EQ(reading::rewrite(checked.view(), proposals, modes, reading::Format::Text),
            "お｜姉《ねえ》さんがかけば\n𩸽が来た");
  proposals[3].reading = "くた";  // an edited reading is written as it is
  const std::vector<Mode> kana(4, Mode::Kana);
  EXPECT_EQ(reading::rewrite(checked.view(), proposals, kana, reading::Format::Text),
            "おねえさんがかけば\n𩸽がくた");
  // Fewer modes than proposals: the rest stay as they are.
  EXPECT_EQ(reading::rewrite(checked.view(), proposals, {}, reading::Format::Text),
            "お姉さんが書けば\n𩸽が来た");
}

TEST(ReadingRewrite, PieceByPieceTheOtherCharactersAsWritten) {
  // Level 3: 越 and 効 are red, 引 and 実 are learnt.
  const testing::Checked checked("実効ユーザーが引っ越した", 3);
  const std::vector<Proposal> proposals = checked.propose();
  ASSERT_EQ(proposals.size(), 2u);
  const struct {
    Mode mode;
    const char* text;
  } cases[] = {
      // Regression: kana wrote the word's katakana in hiragana too (じっこうゆーざー).
      {Mode::Kana, "じっこうユーザーがひっこした"},
      // Regression: one ruby went over the word but its shared kana ends (｜実効ユーザ《…》ー).
      {Mode::Ruby, "｜実効《じっこう》ユーザーが｜引《ひ》っ｜越《こ》した"},
      // A learnt kanji stays bare; a piece with a red kanji takes ruby whole.
      {Mode::RubyUnlearnt, "｜実効《じっこう》ユーザーが引っ｜越《こ》した"},
      {Mode::Keep, "実効ユーザーが引っ越した"},
  };
  for (const auto& c : cases) {
    const std::vector<Mode> modes(proposals.size(), c.mode);
    EXPECT_EQ(reading::rewrite(checked.view(), proposals, modes, reading::Format::Text), c.text)
        << c.text;
  }
}

TEST(ReadingRewrite, HtmlIsOneEscapedDocumentWithRubyAndTheCheckColours) {
  const testing::Checked checked("<危険>&\"カナ\"\n\n𩸽", 2);
  const std::vector<Proposal> proposals = checked.propose();
  const std::vector<Mode> modes(proposals.size(), Mode::Ruby);
  const std::string html =
      reading::rewrite(checked.view(), proposals, modes, reading::Format::Html);
  EXPECT_TRUE(html.starts_with("<!DOCTYPE html>\n<html lang=\"ja\">")) << html;
  EXPECT_TRUE(html.ends_with("</body>\n</html>\n"));
  EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_NE(html.find("font-family: \"IPAGothic\""), std::string::npos);
  // Grey symbols and katakana, ruby on the red word, red on the word with no reading.
  EXPECT_NE(html.find("<p><span style=\"color:#808080\">&lt;</span><ruby>危険<rt>きけん</rt></ruby>"
                      "<span style=\"color:#808080\">&gt;&amp;&quot;カナ&quot;</span></p>\n"
                      "<p></p>\n"
                      "<p><span style=\"color:#ff0000\">𩸽</span></p>\n</body>"),
            std::string::npos)
      << html;
  // Nothing is loaded from elsewhere.
  for (const char* outside : {"http", "src=", "<link", "<script", "url("}) {
    EXPECT_EQ(html.find(outside), std::string::npos) << outside;
  }
}

TEST(ReadingRewrite, RtfHasRubyFieldsAndTheCheckColoursInTheGivenFont) {
  const testing::Checked checked("<危険>\r\n𩸽", 2);
  const std::vector<Proposal> proposals = checked.propose();
  const std::vector<Mode> modes(proposals.size(), Mode::Ruby);
  const std::string rtf = reading::rewrite(checked.view(), proposals, modes, reading::Format::Rtf,
                                           reading::rtf::Font{"F", "", 32});
  EXPECT_TRUE(rtf.starts_with("{\\rtf1\\ansi\\ansicpg932")) << rtf;
  EXPECT_NE(rtf.find("{\\colortbl;\\red128\\green128\\blue128;\\red255\\green0\\blue0;}"),
            std::string::npos)
      << rtf;
  // Grey symbols, the red word's ruby in a 16-point font, one paragraph break, the red word with
  // no reading.
  EXPECT_NE(
      rtf.find("\\fs32\\lang1041 {\\cf1 <}{\\field{\\*\\fldinst{ EQ \\\\* jc2 \\\\* "
               "\"Font:F\" \\\\* hps16 \\\\o\\\\ad(\\\\s\\\\up 15(\\u12365?\\u12369?\\u12435?),"
               "\\u21361?\\u-27014?)}}{\\fldrslt }}{\\cf1 >}\\par\n{\\cf2 \\u-10137?\\u-8643?}}\n"),
      std::string::npos)
      << rtf;
}

TEST(ReadingAnalyzer, MissingDictionaryNamesThePackage) {
  auto opened = reading::Analyzer::open({"/nonexistent/dic", ""});
  const auto* error = std::get_if<reading::AnalyzerError>(&opened);
  ASSERT_NE(error, nullptr);
  EXPECT_NE(error->message.find("mecab-ipadic-utf8"), std::string::npos);
  EXPECT_EQ(error->message.find('\n'), std::string::npos);
}

TEST(ReadingAnalyzer, UnusableUserDictionaryIsReportedNotFatal) {
  const reading::DictionaryPaths defaults = reading::defaultDictionaryPaths();
  // A file that is no dictionary.
  auto opened = reading::Analyzer::open({defaults.systemDir, TORVANE_READING_TEST_SOURCE});
  auto* analyzer = std::get_if<reading::Analyzer>(&opened);
  ASSERT_NE(analyzer, nullptr);
  ASSERT_TRUE(analyzer->userDictionaryProblem());
  EXPECT_NE(analyzer->userDictionaryProblem()->find("cannot be used"), std::string::npos);
  EXPECT_EQ(analyzer->parse("漢字").size(), 1u);
  // The default paths find the user dictionary the build compiled.
  auto withUser = reading::Analyzer::open();
  ASSERT_TRUE(std::holds_alternative<reading::Analyzer>(withUser));
  EXPECT_FALSE(std::get<reading::Analyzer>(withUser).userDictionaryProblem());
}

TEST(ReadingAnalyzer, LineBreaksEndSentencesAndBelongToNoMorpheme) {
  const std::string text = "犬\r\n猫\n\xe2\x80\xa8鳥";
  const auto morphemes = testing::testAnalyzer().parse(text);
  ASSERT_EQ(morphemes.size(), 3u);
  EXPECT_EQ(text.substr(morphemes[0].offset, morphemes[0].length), "犬");
  EXPECT_EQ(text.substr(morphemes[1].offset, morphemes[1].length), "猫");
  EXPECT_EQ(text.substr(morphemes[2].offset, morphemes[2].length), "鳥");
  EXPECT_EQ(morphemes[2].reading, "とり");
}

TEST(ReadingAnalyzer, ALongTextParsedInPortionsKeepsEveryLineInOrder) {
  const std::string line = "猫が庭で遊んでいる。\n";
  const auto single = testing::testAnalyzer().parse(line);
  ASSERT_FALSE(single.empty());
  const std::size_t lines = 1024 * 1024 / line.size();  // several portions' worth
  std::string text;
  for (std::size_t i = 0; i < lines; ++i) text += line;
  const auto morphemes = testing::testAnalyzer().parse(text);
  ASSERT_EQ(morphemes.size(), lines * single.size());
  for (std::size_t k = 0; k < morphemes.size(); ++k) {
    const reading::Morpheme& expected = single[k % single.size()];
    ASSERT_EQ(morphemes[k].offset, k / single.size() * line.size() + expected.offset) << k;
    ASSERT_EQ(morphemes[k].reading, expected.reading) << k;
  }
}

}  // namespace
}  // namespace torvane
