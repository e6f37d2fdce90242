// The conversion of the window's text box: UTF-16 units in, Shift_JIS with a map back to units out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sjis/codec.h"

namespace torvane::sjis {
namespace {

EncodedText boxText(std::u16string_view text) {
  return encodeUtf16(text, LineBreaks::ToCrLf, true);
}

TEST(Utf16, ConvertsTheBoxTextWithAMapInUnits) {
  struct Case {
    const char* name;
    std::u16string text;
    std::string bytes;
    std::vector<std::uint32_t> sourceOf;
    std::vector<ForeignChar> foreign;
  } cases[] = {
      {"empty", u"", "", {0}, {}},
      {"ASCII", u"Az", "Az", {0, 1, 2}, {}},
      {"kana", u"あア", "\x82\xa0\x83\x41", {0, 0, 1, 1, 2}, {}},
      {"kanji", u"漢字", "\x8a\xbf\x8e\x9a", {0, 0, 1, 1, 2}, {}},
      {"half-width kana and ideographic space", u"ｱ　", "\xb1\x81\x40", {0, 1, 1, 2}, {}},
      {"surrogate pair takes two units",
       u"a𠮷b",
       "a\x81\x7f"
       "b",
       {0, 1, 1, 3, 4},
       {{1, U'𠮷'}}},
      {"variation selector goes with its base", u"葛\uFE00x", "\x8a\x8bx", {0, 0, 2, 3}, {}},
      {"supplementary selector, a pair of its own",
       u"葛\U000E0100x",
       "\x8a\x8bx",
       {0, 0, 3, 4},
       {}},
      {"line separator", u"a\u2028b", "a\r\nb", {0, 1, 1, 2, 3}, {}},
      {"paragraph separator between blocks",
       u"a\u2029\u2029b",
       "a\r\n\r\nb",
       {0, 1, 1, 2, 2, 3, 4},
       {}},
      {"CR LF is one break, the LF byte on the LF", u"a\r\nb", "a\r\nb", {0, 1, 2, 3, 4}, {}},
      {"lone CR", u"a\rb", "a\r\nb", {0, 1, 1, 2, 3}, {}},
      {"LF", u"a\n", "a\r\n", {0, 1, 1, 2}, {}},
      {"no-break space", u"\u00a0", " ", {0, 1}, {}},
      {"lone high surrogate",
       u"a\xD842"
       "b",
       "a\x81\x7f"
       "b",
       {0, 1, 1, 2, 3},
       {{1, kReplacementChar}}},
      {"lone low surrogate",
       u"\xDFB7"
       "a",
       "\x81\x7f"
       "a",
       {0, 0, 1, 2},
       {{0, kReplacementChar}}},
      {"high surrogate cut off at the end",
       u"a\xD842",
       "a\x81\x7f",
       {0, 1, 1, 2},
       {{1, kReplacementChar}}},
      {"high surrogate before a pair",
       u"\xD842𠮷",
       "\x81\x7f\x81\x7f",
       {0, 0, 1, 1, 3},
       {{0, kReplacementChar}, {2, U'𠮷'}}},
      {"low before high is two lone surrogates",
       u"\xDFB7\xD842",
       "\x81\x7f\x81\x7f",
       {0, 0, 1, 1, 2},
       {{0, kReplacementChar}, {2, kReplacementChar}}},
  };
  for (const Case& c : cases) {
    const EncodedText encoded = boxText(c.text);
    EXPECT_EQ(encoded.text.bytes, c.bytes) << c.name;
    EXPECT_EQ(encoded.sourceOf, c.sourceOf) << c.name;
    EXPECT_EQ(encoded.text.foreign, c.foreign) << c.name;
  }
}

// UTF-16 and UTF-32 give the same text, and the same map once units are counted as characters.
TEST(Utf16, AgreesWithTheConversionOfCharacters) {
  const std::u16string texts[] = {u"漢字とかな、ASCII and 𠮷野家\r\n次の行\u2029😀\uFE0F終わり",
                                  u"\r\r\n\n\u2028鷗外ⅰ〜", u"\xD800\xDC00\xDBFF\xDFFF\xD800"};
  for (const std::u16string& utf16 : texts) {
    std::u32string utf32;
    std::vector<std::uint32_t> characterAt;  // by UTF-16 unit, the character's index
    for (std::size_t i = 0; i < utf16.size(); ++i) {
      characterAt.push_back(static_cast<std::uint32_t>(utf32.size()));
      const char16_t unit = utf16[i];
      if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
          utf16[i + 1] <= 0xDFFF) {
        utf32.push_back(0x10000 + ((unit - 0xD800) << 10) + (utf16[i + 1] - 0xDC00));
        characterAt.push_back(characterAt.back());
        ++i;
      } else {
        utf32.push_back(unit);
      }
    }
    characterAt.push_back(static_cast<std::uint32_t>(utf32.size()));
    const EncodedText fromUnits = boxText(utf16);
    const EncodedText fromCharacters = encode(utf32, LineBreaks::ToCrLf, true);
    EXPECT_EQ(fromUnits.text, fromCharacters.text);
    ASSERT_EQ(fromUnits.sourceOf.size(), fromCharacters.sourceOf.size());
    for (std::size_t i = 0; i < fromUnits.sourceOf.size(); ++i) {
      EXPECT_EQ(characterAt[fromUnits.sourceOf[i]], fromCharacters.sourceOf[i]) << "byte " << i;
    }
  }
}

TEST(Utf16, KeepsLineBreaksAndLeavesTheMapOutUnlessAsked) {
  const EncodedText encoded = encodeUtf16(u"a\n\u2029");
  EXPECT_EQ(encoded.text.bytes, "a\n\x81\x7f");
  EXPECT_TRUE(encoded.sourceOf.empty());
}

}  // namespace
}  // namespace torvane::sjis
