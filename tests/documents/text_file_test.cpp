#include <gtest/gtest.h>

#include <string>

#include "documents/document.h"
#include "documents/writers.h"

namespace torvane::documents {
namespace {

struct EncodingCase {
  const char* name;
  std::string bytes;
  TextEncoding encoding;
  bool byteOrderMark;
};

class DetectTest : public testing::TestWithParam<EncodingCase> {};

// Every row holds 漢字かな, with one line end, so all decode to the same text.
TEST_P(DetectTest, DecodesToTheSameText) {
  const OpenedDocument document = openDocument(GetParam().bytes);
  EXPECT_EQ(document.format, DocumentFormat::Text);
  EXPECT_EQ(document.encoding, GetParam().encoding);
  EXPECT_EQ(document.byteOrderMark, GetParam().byteOrderMark);
  EXPECT_EQ(document.text, "漢字かな\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DetectTest,
    testing::Values(
        EncodingCase{"Utf8", "漢字かな\n", TextEncoding::Utf8, false},
        EncodingCase{"Utf8Bom", "\xEF\xBB\xBF漢字かな\n", TextEncoding::Utf8, true},
        EncodingCase{"Utf16Le", std::string("\xFF\xFE\x22\x6F\x57\x5B\x4B\x30\x6A\x30\n\0", 12),
                     TextEncoding::Utf16Le, true},
        EncodingCase{"Utf16Be", std::string("\xFE\xFF\x6F\x22\x5B\x57\x30\x4B\x30\x6A\0\n", 12),
                     TextEncoding::Utf16Be, true},
        EncodingCase{"Cp932", "\x8A\xBF\x8E\x9A\x82\xA9\x82\xC8\r\n", TextEncoding::Cp932, false},
        // Also decodes as Shift_JIS, to half-width katakana.
        EncodingCase{"EucJp", "\xB4\xC1\xBB\xFA\xA4\xAB\xA4\xCA\n", TextEncoding::EucJp, false},
        // Also valid UTF-8, being seven-bit.
        EncodingCase{"Iso2022Jp", "\x1B$B4A;z$+$J\x1B(B\r", TextEncoding::Iso2022Jp, false}),
    [](const testing::TestParamInfo<EncodingCase>& info) { return info.param.name; });

TEST(TextFile, LineEndsBecomeCrLfAndTheFirstIsRemembered) {
  for (const auto& [bytes, end] :
       {std::pair{"a\nb\r\nc", LineEnd::Lf}, std::pair{"a\r\nb\nc", LineEnd::CrLf},
        std::pair{"a\rb\nc", LineEnd::Cr}}) {
    const OpenedDocument document = openDocument(bytes);
    EXPECT_EQ(document.text, "a\r\nb\r\nc") << bytes;
    EXPECT_EQ(document.lineEnd, end) << bytes;
  }
}

TEST(TextFile, NoEncodingDecodesNamesTheOffset) {
  // 0x82 then a space is no Shift_JIS pair, and 0x82 no byte of EUC-JP or ISO-2022-JP.
  try {
    openDocument("abc\x82 def");
    FAIL() << "decoded";
  } catch (const DocumentError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::UndecodableText);
    EXPECT_EQ(e.offset(), 3u);
  }
}

TEST(TextFile, Utf8WhenToldRefusesOtherBytesAtTheirOffset) {
  try {
    openDocument("ab\x8A\xBF", EncodingChoice::Utf8);
    FAIL() << "decoded";
  } catch (const DocumentError& e) {
    EXPECT_EQ(e.offset(), 2u);
  }
}

// Written back in the file's own encoding and line ends, the rewritten word included.
TEST(TextFile, WrittenBackTheSameWay) {
  const OpenedDocument document = openDocument("\x8A\xBF\x8E\x9A\n\x82\xA9\n");  // 漢字 / か
  Marks marks;
  marks.words.push_back({0, 6, {{0, 6, "かんじ"}}, WordStyle::Ruby});
  EXPECT_EQ(writeText(document, marks),
            "\x81\x62\x8A\xBF\x8E\x9A\x81\x73\x82\xA9\x82\xF1\x82\xB6\x81\x74\n\x82\xA9\n");
  marks.words[0].style = WordStyle::Kana;
  EXPECT_EQ(writeText(document, marks), "\x82\xA9\x82\xF1\x82\xB6\n\x82\xA9\n");
}

TEST(TextFile, Utf16WrittenWithItsByteOrderMark) {
  const OpenedDocument document = openDocument(std::string("\xFF\xFE\x22\x6F\r\0\n\0", 8));
  EXPECT_EQ(writeText(document, {}), std::string("\xFF\xFE\x22\x6F\r\0\n\0", 8));
}

TEST(TextFile, CharacterTheEncodingLacksIsAnError) {
  EXPECT_THROW(writeText("😀", {}, TextEncoding::Cp932, LineEnd::Lf), DocumentError);
}

struct BadInputCase {
  const char* name;
  std::string bytes;
  ErrorKind kind;
};

class BadInputTest : public testing::TestWithParam<BadInputCase> {};

TEST_P(BadInputTest, RefusedWithItsKind) {
  try {
    openDocument(GetParam().bytes);
    FAIL() << "opened";
  } catch (const DocumentError& e) {
    EXPECT_EQ(e.kind(), GetParam().kind) << e.what();
  }
}

std::string compoundFile(const std::string& stream) {
  std::string bytes = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + std::string(504, '\0');
  for (const char c : stream) {
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadInputTest,
    testing::Values(BadInputCase{"CutZip", "PK\x03\x04\x14\x00\x00\x00", ErrorKind::DamagedPackage},
                    BadInputCase{"Encrypted", compoundFile("EncryptionInfo"), ErrorKind::Encrypted},
                    BadInputCase{"OldWord", compoundFile("WordDocument"), ErrorKind::LegacyWord},
                    BadInputCase{"OtherCompoundFile", compoundFile("Workbook"),
                                 ErrorKind::UnknownFormat}),
    [](const testing::TestParamInfo<BadInputCase>& info) { return info.param.name; });

}  // namespace
}  // namespace torvane::documents
