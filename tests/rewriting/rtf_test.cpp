// The RTF that the copies put on the clipboard: escapes, line breaks, colours and ruby fields.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "rewriting/rtf.h"

namespace torvane {
namespace {

using reading::rtf::Font;
using reading::rtf::Writer;

const std::string kHead =
    "{\\rtf1\\ansi\\ansicpg932\\uc1\\deff0\\deflang1041{\\fonttbl{\\f0\\fnil\\fcharset128 ";

// What the document holds after its header.
std::string bodyOf(const std::string& rtf) {
  const std::string start = "\\lang1041 ";
  const std::size_t at = rtf.find(start);
  if (at == std::string::npos || !rtf.ends_with("}\n")) return "malformed: " + rtf;
  return rtf.substr(at + start.size(), rtf.size() - 2 - at - start.size());
}

struct TextRow {
  const char* name;
  std::string utf8;
  std::string body;
};

class RtfText : public testing::TestWithParam<TextRow> {};

TEST_P(RtfText, IsWrittenWithItsEscapes) {
  Writer writer;
  writer.text(GetParam().utf8);
  EXPECT_EQ(bodyOf(std::move(writer).finish()), GetParam().body);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, RtfText,
    testing::Values(
        TextRow{"Ascii", "Ab 1~", "Ab 1~"}, TextRow{"SyntaxCharacters", "a\\b{c}", "a\\\\b\\{c\\}"},
        TextRow{"BelowSpace", "\x1f ", "\\u31? "}, TextRow{"Delete", "\x7f", "\\u127?"},
        TextRow{"Nul", std::string("a\0b", 3), "a\\u-3?b"}, TextRow{"Hiragana", "あ", "\\u12354?"},
        TextRow{"LastPositiveUnit", "\u7fff", "\\u32767?"},
        TextRow{"FirstNegativeUnit", "\u8000", "\\u-32768?"},
        TextRow{"HalfWidthKana", "ﾊ", "\\u-118?"}, TextRow{"LastBmp", "\uffff", "\\u-1?"},
        TextRow{"FirstSupplementary", "\U00010000", "\\u-10240?\\u-9216?"},
        TextRow{"Supplementary", "𠮷", "\\u-10174?\\u-8265?"},
        TextRow{"BadUtf8",
                "a\xff"
                "b",
                "a\\u-3?b"},
        TextRow{"CutOffSequence", "a\xe3\x81", "a\\u-3?\\u-3?"}, TextRow{"Tab", "a\tb", "a\\tab b"},
        TextRow{"Lf", "a\nb", "a\\par\nb"}, TextRow{"CrLfIsOneParagraph", "a\r\nb", "a\\par\nb"},
        TextRow{"LoneCr", "a\rb", "a\\par\nb"}, TextRow{"TwoCr", "a\r\rb", "a\\par\n\\par\nb"},
        TextRow{"CrLfLf", "a\r\n\nb", "a\\par\n\\par\nb"},
        TextRow{"ParagraphSeparator", "a\u2029b", "a\\par\nb"},
        TextRow{"LineSeparator", "a\u2028b", "a\\line\nb"}),
    [](const testing::TestParamInfo<TextRow>& info) { return std::string(info.param.name); });

TEST(Rtf, ColourGroupsEndBeforeEveryParagraph) {
  Writer writer;
  writer.text("a\nb\n", 0xFF0000);
  writer.text("\n");
  EXPECT_EQ(bodyOf(std::move(writer).finish()), "{\\cf1 a}\\par\n{\\cf1 b}\\par\n\\par\n");
}

TEST(Rtf, CrLfSplitBetweenTwoPiecesIsOneParagraph) {
  Writer writer;
  writer.text("a\r");
  writer.text("\nb", 0xFF0000);
  EXPECT_EQ(bodyOf(std::move(writer).finish()), "a\\par\n{\\cf1 b}");
}

TEST(Rtf, HeaderDeclaresTheCodePageAndTheFontInIt) {
  Writer writer(Font{"IPAゴシック", "ＭＳ ゴシック", 21});
  const std::string rtf = std::move(writer).finish();
  // ゴシック in code page 932; the alternative face for readers without the first.
  EXPECT_TRUE(rtf.starts_with(
      kHead +
      "IPA\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e"
      "{\\*\\falt \\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e};}}\n"
      "{\\colortbl;}\n\\pard\\plain\\f0\\fs21\\lang1041 "))
      << rtf;
}

TEST(Rtf, FontNameWithoutCodePageFormAndSyntaxCharacters) {
  Writer writer(Font{"A;B{鷗}\U0001F600", "", 24});
  const std::string rtf = std::move(writer).finish();
  EXPECT_TRUE(rtf.starts_with(kHead + "AB\\u-25129?\\u-10179?\\u-8704?;}}")) << rtf;
}

TEST(Rtf, ColoursComeFromOneTableAndEachRunIsAGroup) {
  Writer writer;
  writer.text("a", 0xFF0000);
  writer.text("b", 0xFF0000);
  writer.text("c", 0x808080);
  writer.text("d");
  writer.text("e", 0xFF0000);
  writer.text("", 0x0000FF);  // nothing written: no colour in the table
  const std::string rtf = std::move(writer).finish();
  EXPECT_NE(rtf.find("{\\colortbl;\\red255\\green0\\blue0;\\red128\\green128\\blue128;}"),
            std::string::npos)
      << rtf;
  EXPECT_EQ(bodyOf(rtf), "{\\cf1 ab}{\\cf2 c}d{\\cf1 e}");
}

TEST(Rtf, RubyIsAnEqFieldWithAnEmptyResult) {
  Writer writer(Font{"IPAゴシック", "", 24});
  writer.text("の");
  writer.ruby("岡山", "おかやま");
  const std::string font = "IPA\\u12468?\\u12471?\\u12483?\\u12463?";
  EXPECT_EQ(bodyOf(std::move(writer).finish()),
            "\\u12398?{\\field{\\*\\fldinst{ EQ \\\\* jc2 \\\\* \"Font:" + font +
                "\" \\\\* hps12 \\\\o\\\\ad(\\\\s\\\\up 11(\\u12362?\\u12363?\\u12420?\\u12414?),"
                "\\u23713?\\u23665?)}}{\\fldrslt }}");
}

TEST(Rtf, RubySizeFollowsTheFont) {
  for (const auto& [halfPoints, expected] : {std::pair{21, "hps10 \\\\o\\\\ad(\\\\s\\\\up 9("},
                                             std::pair{2, "hps1 \\\\o\\\\ad(\\\\s\\\\up 1("},
                                             std::pair{1, "hps1 \\\\o\\\\ad(\\\\s\\\\up 1("}}) {
    Writer writer(Font{"F", "", halfPoints});
    writer.ruby("漢", "かん");
    EXPECT_NE(std::move(writer).finish().find(expected), std::string::npos) << halfPoints;
  }
}

TEST(Rtf, RubyTakesTheColourOfItsRun) {
  Writer writer(Font{"F", "", 24});
  writer.ruby("漢", "かん", 0xFF0000);
  EXPECT_TRUE(bodyOf(std::move(writer).finish()).starts_with("{\\cf1 {\\field"));
}

// Word's escapes inside a field are not read by Writer, which cut the base short at them.
TEST(Rtf, WordThatWouldBreakTheFieldKeepsItsReadingInBrackets) {
  for (const char* base : {"a,b", "a(b", "a)b", "a\\b", "a\nb"}) {
    Writer writer;
    writer.ruby(base, "かな");
    const std::string body = bodyOf(std::move(writer).finish());
    EXPECT_EQ(body.find("\\field"), std::string::npos) << base;
    EXPECT_TRUE(body.ends_with("\\u-248?\\u12363?\\u12394?\\u-247?")) << body;
  }
  Writer writer;
  writer.ruby("漢", "か)");
  EXPECT_EQ(bodyOf(std::move(writer).finish()), "\\u28450?\\u-248?\\u12363?)\\u-247?");
}

}  // namespace
}  // namespace torvane
