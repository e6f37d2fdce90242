#include "sjis/codec.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <string>
#include <utility>

#include "sjis/utf8.h"

namespace torvane::sjis {
namespace {

std::string bytesOf(std::u32string_view text, LineBreaks breaks = LineBreaks::Keep) {
  return encode(text, breaks).text.bytes;
}

TEST(Codec, EncodesAsTheTablesWereMade) {
  struct Case {
    const char* name;
    std::u32string text;
    std::string bytes;
  } cases[] = {
      {"ASCII", U"Az09", "Az09"},
      {"hiragana", U"あい", "\x82\xa0\x82\xa2"},
      {"kanji", U"漢字", "\x8a\xbf\x8e\x9a"},
      {"small roman numeral one takes the IBM code", U"ⅰ", "\xfa\x40"},
      {"wave dash", U"〜", "\x81\x60"},
      {"full-width tilde", U"～", "\x81\x60"},
      {"half-width katakana", U"ｱﾟ", "\xb1\xdf"},
      {"ideographic space", U"　", "\x81\x40"},
      {"backslash stays 0x5C", U"\\", "\x5c"},
      {"NUL", std::u32string(1, U'\0'), std::string(1, '\0')},
  };
  for (const Case& c : cases) EXPECT_EQ(bytesOf(c.text), c.bytes) << c.name;
}

TEST(Codec, CharactersOutsideTheCodePageAreNeverLost) {
  struct Case {
    const char* name;
    std::u32string text;
    std::string bytes;
    std::vector<ForeignChar> foreign;
  } cases[] = {
      {"no-break space counts as a space", U"a\u00a0b", "a b", {}},
      {"en quad counts as a space", U"\u2000", " ", {}},
      {"variation selector adds nothing", U"葛\U000E0100", "\x8a\x8b", {}},
      {"text variation selector adds nothing", U"☆\uFE0E", "\x81\x99", {}},
      {"zero-width joiner adds nothing", U"a\u200Db", "ab", {}},
      {"byte-order mark inside adds nothing", U"a\uFEFF", "a", {}},
      {"tag characters add nothing", U"☆\U000E0067\U000E007F", "\x81\x99", {}},
      {"kanji outside the code page", U"鷗", "\x81\x7f", {{0, U'鷗'}}},
      {"supplementary kanji", U"a𠮷", "a\x81\x7f", {{1, U'𠮷'}}},
      {"emoji", U"😀あ", "\x81\x7f\x82\xa0", {{0, U'😀'}}},
      {"accented Latin letter", U"Ä", "\x81\x7f", {{0, U'Ä'}}},
  };
  for (const Case& c : cases) {
    const EncodedText encoded = encode(c.text);
    EXPECT_EQ(encoded.text.bytes, c.bytes) << c.name;
    EXPECT_EQ(encoded.text.foreign, c.foreign) << c.name;
    EXPECT_EQ(toUnicode(encoded.text).find(U'?'), std::u32string::npos) << c.name;
  }
}

TEST(Codec, SourceMapGivesEachByteItsCharacter) {
  // a, 漢 (2 bytes), 鷗 (placeholder), variation selector (no bytes), b
  const EncodedText encoded = encode(U"a漢鷗\uFE00b", LineBreaks::Keep, true);
  EXPECT_EQ(encoded.text.bytes,
            "a\x8a\xbf\x81\x7f"
            "b");
  const std::vector<std::uint32_t> expected = {0, 1, 1, 2, 2, 4, 5};
  EXPECT_EQ(encoded.sourceOf, expected);
  // The span of 鷗 (bytes 3..5) reaches to the next character, so it takes the selector along.
  EXPECT_EQ(encoded.sourceOf[5] - encoded.sourceOf[3], 2u);
}

TEST(Codec, LineBreaksBecomeCrLf) {
  struct Case {
    const char* name;
    std::u32string text;
    std::string bytes;
    std::vector<std::uint32_t> sourceOf;
  } cases[] = {
      {"LF", U"a\nb", "a\r\nb", {0, 1, 1, 2, 3}},
      {"CR LF keeps one break, the LF byte on the LF", U"a\r\nb", "a\r\nb", {0, 1, 2, 3, 4}},
      {"lone CR", U"a\rb", "a\r\nb", {0, 1, 1, 2, 3}},
      {"CR CR", U"\r\r", "\r\n\r\n", {0, 0, 1, 1, 2}},
      {"LF CR is two breaks", U"\n\r", "\r\n\r\n", {0, 0, 1, 1, 2}},
      {"line separator", U"\u2028", "\r\n", {0, 0, 1}},
      {"paragraph separator", U"\u2029", "\r\n", {0, 0, 1}},
  };
  for (const Case& c : cases) {
    const EncodedText encoded = encode(c.text, LineBreaks::ToCrLf, true);
    EXPECT_EQ(encoded.text.bytes, c.bytes) << c.name;
    EXPECT_EQ(encoded.sourceOf, c.sourceOf) << c.name;
  }
  EXPECT_EQ(bytesOf(U"a\nb"), "a\nb") << "kept as they are unless asked";
}

// The command line converts UTF-8 in one go, copying ASCII runs; it must give what decoding and
// converting character by character gives, and name the same bad byte.
TEST(Codec, Utf8InOneGoEqualsCharacterByCharacter) {
  const std::string texts[] = {"",
                               "plain ASCII",
                               "a\r\nb\rc\nd",
                               "漢字 and かな\n",
                               "鷗\xF0\x9F\x98\x80~\\",
                               "\xE2\x80\xA8x\xC2\xA0y"};
  for (const std::string& utf8 : texts) {
    SjisEncoder encoder(LineBreaks::ToCrLf);
    EXPECT_FALSE(encoder.appendUtf8(utf8)) << utf8;
    const EncodedText oneGo = std::move(encoder).finish(0);
    const EncodedText each = encode(decodeUtf8(utf8).text, LineBreaks::ToCrLf);
    EXPECT_EQ(oneGo.text, each.text) << utf8;
  }
  for (const auto& [utf8, offset] : {std::pair<std::string, std::size_t>{"abc\xFF", 3},
                                     {"\xE6\xBC\xA2\x80", 3},
                                     {"ab\xE6\xBC", 2}}) {
    SjisEncoder encoder(LineBreaks::ToCrLf);
    EXPECT_EQ(encoder.appendUtf8(utf8), std::optional<std::size_t>(offset)) << utf8;
  }
}

TEST(Codec, DecodesCharacterByCharacter) {
  struct Case {
    const char* name;
    std::string bytes;
    std::u32string text;
  } cases[] = {
      {"kanji and ASCII",
       "\x8a\xbf"
       "A",
       U"漢A"},
      {"lone lead byte at the end", "A\x88", U"A\uFFFD"},
      {"lead byte before NUL", std::string("\x88\0", 2), std::u32string(U"\uFFFD") + U'\0'},
      {"malformed pair", "\x81\x0d", U"\uFFFD"},
      {"unassigned pair", "\x85\x40", U"\uFFFD"},
      {"placeholder without its character", "\x81\x7f", U"\uFFFD"},
      {"half-width kana", "\xb1", U"ｱ"},
  };
  for (const Case& c : cases) EXPECT_EQ(toUnicode(rawSjis(c.bytes)), c.text) << c.name;
}

TEST(Codec, EveryEncodableCharacterComesBackUnchanged) {
  const Cp932& codePage = Cp932::get();
  int encodable = 0;
  for (char32_t c = 0; c < 0x10000; ++c) {
    const auto sjis = codePage.encode(c);
    if (!sjis) continue;
    ++encodable;
    const char32_t back = codePage.decode(*sjis);
    // Several Unicode characters share one code (the wave dash and the full-width tilde); the
    // code must still decode to something that encodes to the same code.
    ASSERT_NE(back, kReplacementChar) << std::hex << static_cast<unsigned>(c);
    ASSERT_EQ(codePage.encode(back), sjis) << std::hex << static_cast<unsigned>(c);
  }
  EXPECT_GT(encodable, 9000);
}

// The encode table comes from one bulk conversion; it must say what iconv says of each character
// on its own.
TEST(Codec, EncodeTableMatchesIconvCharacterByCharacter) {
  iconv_t toSjis = iconv_open("CP932", "UTF-32LE");
  ASSERT_NE(toSjis, reinterpret_cast<iconv_t>(-1));
  for (char32_t c = 0; c < 0x10000; ++c) {
    char32_t in = c;
    unsigned char out[8];
    char* inPtr = reinterpret_cast<char*>(&in);
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t inLeft = sizeof in, outLeft = sizeof out;
    iconv(toSjis, nullptr, nullptr, nullptr, nullptr);
    std::optional<SjisChar> expected;
    if (iconv(toSjis, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1)) {
      expected =
          sizeof out - outLeft == 1 ? SjisChar::single(out[0]) : SjisChar::pair(out[0], out[1]);
    }
    ASSERT_EQ(Cp932::get().encode(c), expected) << std::hex << static_cast<unsigned>(c);
  }
  iconv_close(toSjis);
}

// The encoder looks supplementary characters up nowhere; this holds it to iconv, which has no
// code for them and drops the block of the tag characters, unassigned codes included.
TEST(Codec, CodePageHasNoCodeBeyondTheBasicPlane) {
  iconv_t toSjis = iconv_open("CP932", "UTF-32LE");
  ASSERT_NE(toSjis, reinterpret_cast<iconv_t>(-1));
  int converted = 0;
  for (char32_t c = 0x10000; c <= 0x10FFFF; ++c) {
    char32_t in = c;
    char out[8];
    char* inPtr = reinterpret_cast<char*>(&in);
    char* outPtr = out;
    std::size_t inLeft = sizeof in, outLeft = sizeof out;
    iconv(toSjis, nullptr, nullptr, nullptr, nullptr);
    if (iconv(toSjis, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1)) {
      ASSERT_EQ(outLeft, sizeof out) << std::hex << static_cast<unsigned>(c) << " has a code";
      ASSERT_TRUE(c >= 0xE0000 && c <= 0xE007F) << std::hex << static_cast<unsigned>(c);
      ++converted;
    }
  }
  iconv_close(toSjis);
  EXPECT_EQ(converted, 0x80);
}

// Which characters outside the code page add no bytes, on each side of every range.
TEST(Codec, OnlyFormatCharactersJoinTheirNeighbour) {
  struct Case {
    char32_t character;
    bool joins;
  } cases[] = {
      {0xFDFF, false},  {0xFE00, true},  {0xFE0F, true},   {0xFE10, false},  // selectors
      {0xE00FF, false}, {0xE0100, true}, {0xE01EF, true},  {0xE01F0, false},
      {0xE0000, false}, {0xE0001, true}, {0xE0002, false}, {0xE001F, false},  // tags
      {0xE0020, true},  {0xE0041, true}, {0xE007F, true},  {0xE0080, false},
      {0x200A, false},  {0x200B, true},  {0x200D, true},   {0x200E, false},  // zero width
      {0x205F, false},  {0x2060, true},  {0x2061, false},  {0xFEFF, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(joinsNeighbour(c.character), c.joins)
        << std::hex << static_cast<unsigned>(c.character);
  }
  // A flag's tag sequence goes with its base; the unassigned codes of the block are characters.
  EXPECT_EQ(bytesOf(U"☆\U000E0001\U000E0020\U000E007F"), "\x81\x99");
  const EncodedText unassigned = encode(U"☆\U000E0000\U000E001F");
  EXPECT_EQ(unassigned.text.bytes, "\x81\x99\x81\x7f\x81\x7f");
  const std::vector<ForeignChar> foreign = {{2, 0xE0000}, {4, 0xE001F}};
  EXPECT_EQ(unassigned.text.foreign, foreign);
}

// Whatever is no Unicode character stands as U+FFFD, so the result lists never hold one.
TEST(Codec, WhatIsNoCharacterBecomesTheReplacementCharacter) {
  for (const char32_t bad : {char32_t{0xD800}, char32_t{0xDFFF}, char32_t{0x110000}}) {
    const EncodedText encoded = encode(std::u32string{U'a', bad});
    EXPECT_EQ(encoded.text.bytes, "a\x81\x7f") << std::hex << static_cast<unsigned>(bad);
    const std::vector<ForeignChar> foreign = {{1, kReplacementChar}};
    EXPECT_EQ(encoded.text.foreign, foreign) << std::hex << static_cast<unsigned>(bad);
  }
}

TEST(Codec, Utf8OfLoneSurrogateIsTheReplacementCharacter) {
  std::string out;
  appendUtf8(out, 0xD800);
  EXPECT_EQ(out, "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace torvane::sjis
