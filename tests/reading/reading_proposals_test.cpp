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
  EXPECT_EQ(proposals[1].reading, "");
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

TEST(ReadingProposals, OfferTheOtherReadingsOfTheDictionary) {
  const std::vector<Proposal> proposals = testing::Checked("明日", -1).propose();
  ASSERT_EQ(proposals.size(), 1u);
  ASSERT_FALSE(proposals[0].choices.empty());
  EXPECT_EQ(proposals[0].choices.front(), proposals[0].reading);
  EXPECT_NE(std::find(proposals[0].choices.begin(), proposals[0].choices.end(), "あす"),
            proposals[0].choices.end());
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
  const testing::Checked checked("お姉さんが書けば\r\n鷗が来た", -1);
  std::vector<Proposal> proposals = checked.propose();
  ASSERT_EQ(proposals.size(), 4u);  // お姉さん 書け 鷗 来た
  proposals[1].reading = "かけ";    // as the teacher left it
  proposals[3].reading = "きた";
  const std::vector<Mode> modes = {Mode::Ruby, Mode::Kana, Mode::Ruby, Mode::Keep};
  EXPECT_EQ(reading::rewrite(checked.view(), proposals, modes, reading::Format::Text),
            "お｜姉《ねえ》さんがかけば\n鷗が来た");
  proposals[3].reading = "くた";  // an edited reading is written as it is
  const std::vector<Mode> kana(4, Mode::Kana);
  EXPECT_EQ(reading::rewrite(checked.view(), proposals, kana, reading::Format::Text),
            "おねえさんがかけば\n鷗がくた");
  // Fewer modes than proposals: the rest stay as they are.
  EXPECT_EQ(reading::rewrite(checked.view(), proposals, {}, reading::Format::Text),
            "お姉さんが書けば\n鷗が来た");
}

TEST(ReadingRewrite, HtmlIsOneEscapedDocumentWithRubyAndTheCheckColours) {
  const testing::Checked checked("<危険>&\"カナ\"\n\n鷗", 2);
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
                      "<p><span style=\"color:#ff0000\">鷗</span></p>\n</body>"),
            std::string::npos)
      << html;
  // Nothing is loaded from elsewhere.
  for (const char* outside : {"http", "src=", "<link", "<script", "url("}) {
    EXPECT_EQ(html.find(outside), std::string::npos) << outside;
  }
}

TEST(ReadingRewrite, RtfHasRubyFieldsAndTheCheckColoursInTheGivenFont) {
  const testing::Checked checked("<危険>\r\n鷗", 2);
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
               "\\u21361?\\u-27014?)}}{\\fldrslt }}{\\cf1 >}\\par\n{\\cf2 \\u-25129?}}\n"),
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

}  // namespace
}  // namespace torvane
