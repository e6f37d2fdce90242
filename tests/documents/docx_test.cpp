#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "documents/document.h"
#include "documents/writers.h"
#include "documents/zip_package.h"

namespace torvane::documents {
namespace {

constexpr const char* kW = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

std::string documentXml(const std::string& body) {
  return std::string(
             "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
             "<w:document xmlns:w=\"") +
         kW +
         "\" xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\" "
         "xmlns:wps=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\" "
         "xmlns:v=\"urn:schemas-microsoft-com:vml\"><w:body>" +
         body + "</w:body></w:document>";
}

// A package as Word lays it out, with a picture entry that no edit may touch.
std::string docx(const std::string& body, const std::string& footnotes = "") {
  std::vector<ZipEntry> entries = {
      {"[Content_Types].xml",
       "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>"},
      {"word/document.xml", documentXml(body)},
      {"word/media/image1.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\0", 12)},
  };
  if (!footnotes.empty()) {
    entries.push_back({"word/footnotes.xml", std::string("<w:footnotes xmlns:w=\"") + kW + "\">" +
                                                 footnotes + "</w:footnotes>"});
  }
  return buildZip(entries);
}

std::string p(const std::string& inner) {
  return "<w:p>" + inner + "</w:p>";
}
std::string r(const std::string& text, const std::string& properties = "") {
  return "<w:r>" + (properties.empty() ? "" : "<w:rPr>" + properties + "</w:rPr>") + "<w:t>" +
         text + "</w:t></w:r>";
}

struct ReadCase {
  const char* name;
  std::string body;
  std::string text;
};

class DocxReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(DocxReadTest, TextAsTheCheckSeesIt) {
  const OpenedDocument document = openDocument(docx(GetParam().body));
  EXPECT_EQ(document.format, DocumentFormat::Docx);
  EXPECT_EQ(document.text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DocxReadTest,
    testing::Values(
        ReadCase{"RunsSplitInsideAWord", p(r("漢") + r("字", "<w:b/>")) + p(""), "漢字\r\n\r\n"},
        ReadCase{"TabAndBreak", p("<w:r><w:t>a</w:t><w:tab/><w:t>b</w:t><w:br/><w:t>c</w:t></w:r>"),
                 "a\tb\r\nc\r\n"},
        ReadCase{"FieldResultNotCode",
                 p("<w:r><w:fldChar "
                   "w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>PAGE</w:instrText></w:r>"
                   "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>" +
                   r("3") + "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>" + r("頁")),
                 "3頁\r\n"},
        ReadCase{"SimpleFieldResult",
                 p("<w:fldSimple w:instr=\"PAGE\">" + r("7") + "</w:fldSimple>"), "7\r\n"},
        ReadCase{"InsertionInDeletionOut",
                 p(r("前") + "<w:ins w:id=\"1\">" + r("新") +
                   "</w:ins><w:del w:id=\"2\"><w:r><w:delText>旧</w:delText></w:r></w:del>"),
                 "前新\r\n"},
        ReadCase{
            "ReadThroughWrappers",
            p("<w:hyperlink>" + r("リ") + "</w:hyperlink><w:smartTag>" + r("ン") +
              "</w:smartTag><w:sdt><w:sdtPr/><w:sdtContent>" + r("ク") +
              "</w:sdtContent></w:sdt><w:customXml>" + r("。") + "</w:customXml><w:proofErr/>"),
            "リンク。\r\n"},
        ReadCase{"RubyBaseNotReading",
                 p("<w:r><w:ruby><w:rubyPr/><w:rt>" + r("かん") + "</w:rt><w:rubyBase>" + r("漢") +
                   "</w:rubyBase></w:ruby></w:r>"),
                 "漢\r\n"},
        ReadCase{"TableCellsInOrder",
                 "<w:tbl><w:tblPr/><w:tr><w:tc>" + p(r("一")) + "</w:tc><w:tc>" + p(r("二")) +
                     "</w:tc></w:tr></w:tbl>" + p(r("後")),
                 "一\r\n二\r\n後\r\n"},
        // Word writes a text box twice, as a shape and again as VML for older readers.
        ReadCase{
            "TextBoxOnce",
            p(r("本") +
              "<w:r><mc:AlternateContent><mc:Choice "
              "Requires=\"wps\"><w:drawing><wps:txbx><w:txbxContent>" +
              p(r("箱")) +
              "</w:txbxContent></wps:txbx></w:drawing></"
              "mc:Choice><mc:Fallback><w:pict><v:textbox><w:txbxContent>" +
              p(r("箱")) +
              "</w:txbxContent></v:textbox></w:pict></mc:Fallback></mc:AlternateContent></w:r>" +
              r("文")),
            "本文\r\n箱\r\n"}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

TEST(DocxRead, FootnotesAfterTheBodyWithoutSeparators) {
  const std::string notes = "<w:footnote w:type=\"separator\" w:id=\"-1\">" +
                            p("<w:r><w:separator/></w:r>") +
                            "</w:footnote><w:footnote w:id=\"1\">" + p(r("注")) + "</w:footnote>";
  const OpenedDocument document = openDocument(docx(p(r("本")), notes));
  EXPECT_EQ(document.text, "本\r\n注\r\n");
}

Marks rubyOn(std::size_t begin, std::size_t end, const std::string& reading) {
  Marks marks;
  marks.words.push_back({begin, end, {{begin, end, reading}}, WordStyle::Ruby});
  return marks;
}

std::string entry(const std::string& package, const std::string& name) {
  return ZipReader(package).read(name);
}

TEST(DocxRoundTrip, RubyOverRunsSplitInsideTheWord) {
  const std::string original = docx(p(r("前") + r("漢", "<w:b/>") + r("字後")));
  const OpenedDocument document = openDocument(original);
  ASSERT_EQ(document.text, "前漢字後\r\n");
  const RoundTrip written = writeRoundTrip(document, rubyOn(3, 9, "かんじ"));
  EXPECT_EQ(written.wordsLeftAlone, 0u);
  const OpenedDocument again = openDocument(written.bytes);
  EXPECT_EQ(again.text, "前漢字後\r\n");  // the reading is not text the check sees
  const std::string xml = entry(written.bytes, "word/document.xml");
  EXPECT_NE(
      xml.find("<w:rubyPr><w:rubyAlign w:val=\"distributeSpace\"/><w:hps w:val=\"10\"/>"
               "<w:hpsRaise w:val=\"19\"/><w:hpsBaseText w:val=\"21\"/><w:lid w:val=\"ja-JP\"/>"),
      std::string::npos)
      << xml;
  EXPECT_NE(xml.find("<w:t xml:space=\"preserve\">かんじ</w:t>"), std::string::npos) << xml;
  // The bold of 漢 stays on 漢 in the base; 字 keeps the plain run's look; 後 is its own run.
  EXPECT_NE(xml.find("<w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">漢</w:t>"),
            std::string::npos)
      << xml;
  EXPECT_NE(xml.find(">後</w:t>"), std::string::npos) << xml;
  EXPECT_EQ(entry(written.bytes, "word/media/image1.png"),
            entry(original, "word/media/image1.png"));
  EXPECT_EQ(entry(written.bytes, "[Content_Types].xml"), entry(original, "[Content_Types].xml"));
}

TEST(DocxRoundTrip, ColourIntoRunPropertiesInSchemaOrder) {
  const std::string original = docx(p(r("漢字", "<w:b/><w:sz w:val=\"24\"/>")));
  const OpenedDocument document = openDocument(original);
  Marks marks;
  marks.colours.push_back({0, 3, MarkColour::Red});
  const std::string xml = entry(writeRoundTrip(document, marks).bytes, "word/document.xml");
  EXPECT_NE(xml.find("<w:rPr><w:b/><w:color w:val=\"FF0000\"/><w:sz w:val=\"24\"/></w:rPr>"
                     "<w:t xml:space=\"preserve\">漢</w:t>"),
            std::string::npos)
      << xml;
}

TEST(DocxRoundTrip, KanaInPlace) {
  const OpenedDocument document = openDocument(docx(p(r("危険だ"))));
  Marks marks;
  marks.words.push_back({0, 6, {{0, 6, "きけん"}}, WordStyle::Kana});
  EXPECT_EQ(openDocument(writeRoundTrip(document, marks).bytes).text, "きけんだ\r\n");
}

struct LeftAloneCase {
  const char* name;
  std::string body;
};

class DocxLeftAloneTest : public testing::TestWithParam<LeftAloneCase> {};

// Each body reads 漢字 from byte 0, split across a boundary a mark may not cross.
TEST_P(DocxLeftAloneTest, WordAcrossABoundaryIsCountedAndKept) {
  const std::string original = docx(GetParam().body);
  const OpenedDocument document = openDocument(original);
  const std::size_t end = document.text.find("字") + 3;
  ASSERT_EQ(document.text.find("漢"), 0u);
  const RoundTrip written = writeRoundTrip(document, rubyOn(0, end, "かんじ"));
  EXPECT_EQ(written.wordsLeftAlone, 1u);
  EXPECT_EQ(written.bytes, original);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DocxLeftAloneTest,
    testing::Values(
        LeftAloneCase{"Hyperlink", p(r("漢") + "<w:hyperlink>" + r("字") + "</w:hyperlink>")},
        LeftAloneCase{"Insertion", p(r("漢") + "<w:ins>" + r("字") + "</w:ins>")},
        LeftAloneCase{"ContentControl",
                      p(r("漢") + "<w:sdt><w:sdtContent>" + r("字") + "</w:sdtContent></w:sdt>")},
        LeftAloneCase{"Field",
                      p(r("漢") +
                        "<w:r><w:fldChar "
                        "w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>X</w:instrText></w:r>"
                        "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>" +
                        r("字") + "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>")},
        LeftAloneCase{"ExistingRuby",
                      p("<w:r><w:ruby><w:rubyPr/><w:rt>" + r("かん") + "</w:rt><w:rubyBase>" +
                        r("漢") + "</w:rubyBase></w:ruby></w:r>" + r("字"))},
        LeftAloneCase{"Paragraphs", p(r("漢")) + p(r("字"))}),
    [](const testing::TestParamInfo<LeftAloneCase>& info) { return info.param.name; });

TEST(DocxRoundTrip, WordInsideOneHyperlinkIsRewritten) {
  const OpenedDocument document =
      openDocument(docx(p("<w:hyperlink>" + r("漢字") + "</w:hyperlink>")));
  const RoundTrip written = writeRoundTrip(document, rubyOn(0, 6, "かんじ"));
  EXPECT_EQ(written.wordsLeftAlone, 0u);
  const std::string xml = entry(written.bytes, "word/document.xml");
  EXPECT_NE(xml.find("<w:hyperlink><w:r><w:ruby>"), std::string::npos) << xml;
}

// A pretty-printed part has white space between its runs: a word over two runs was left alone.
TEST(DocxRoundTrip, WhiteSpaceBetweenRunsIsNoBoundary) {
  const OpenedDocument document =
      openDocument(docx("<w:p>\n  " + r("漢") + "\n  <w:r>\n <w:t>字</w:t>\n </w:r>\n</w:p>"));
  ASSERT_EQ(document.text, "漢字\r\n");
  const RoundTrip written = writeRoundTrip(document, rubyOn(0, 6, "かんじ"));
  EXPECT_EQ(written.wordsLeftAlone, 0u);
  EXPECT_EQ(openDocument(written.bytes).text, "漢字\r\n");
  EXPECT_NE(entry(written.bytes, "word/document.xml")
                .find("<w:rubyBase><w:r><w:t xml:space=\"preserve\">漢</w:t>"),
            std::string::npos);
}

TEST(DocxRoundTrip, NoMarksGivesTheSameBytes) {
  const std::string original = docx(p(r("漢字")));
  EXPECT_EQ(writeRoundTrip(openDocument(original), {}).bytes, original);
}

TEST(NewDocx, ReadsBackAsItsText) {
  const std::string text = "一行目\t漢字\r\n\r\n三行目";
  Marks marks = rubyOn(10, 16, "かんじ");
  marks.colours.push_back({0, 3, MarkColour::Grey});
  const std::string bytes = writeNewDocx(text, marks);
  EXPECT_EQ(openDocument(bytes).text, text + "\r\n");
  const std::string xml = entry(bytes, "word/document.xml");
  EXPECT_NE(xml.find("<w:color w:val=\"808080\"/>"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<w:ruby>"), std::string::npos) << xml;
  EXPECT_NE(entry(bytes, "word/styles.xml").find("w:eastAsia=\"IPAゴシック\""), std::string::npos);
}

// Lone LF and CR still end a paragraph; the marks move with the text.
TEST(NewDocx, LineEndsOfAnyKind) {
  const std::string bytes = writeNewDocx("a\nb\r漢字", rubyOn(4, 10, "かんじ"));
  EXPECT_EQ(openDocument(bytes).text, "a\r\nb\r\n漢字\r\n");
  EXPECT_NE(entry(bytes, "word/document.xml")
                .find("<w:rubyBase><w:r><w:t xml:space=\"preserve\">漢字</w:t>"),
            std::string::npos);
}

ErrorKind refusal(const std::string& bytes) {
  try {
    openDocument(bytes);
  } catch (const DocumentError& e) {
    return e.kind();
  }
  ADD_FAILURE() << "opened";
  return ErrorKind::WriteFailed;
}

TEST(DocxRefused, DtdIsNeverExpanded) {
  const std::string bomb =
      "<?xml version=\"1.0\"?><!DOCTYPE w:document [<!ENTITY a \"aaaaaaaa\">]>"
      "<w:document "
      "xmlns:w=\"x\"><w:body><w:p><w:r><w:t>&a;</w:t></w:r></w:p></w:body></w:document>";
  EXPECT_EQ(refusal(buildZip({{"word/document.xml", bomb}})), ErrorKind::UnsafeXml);
}

// The sizes are judged from the directory, before anything is inflated.
TEST(DocxRefused, EntryCompressedPastTheRatio) {
  const std::string zeros(2 << 20, '0');  // deflates some thousand to one
  EXPECT_EQ(
      refusal(buildZip({{"word/document.xml", documentXml(p(r("a")))}, {"zeros.bin", zeros}})),
      ErrorKind::TooLarge);
  // Just under the floor the ratio is no concern.
  EXPECT_NO_THROW(openDocument(buildZip({{"word/document.xml", documentXml(p(r("a")))},
                                         {"zeros.bin", std::string(kRatioFloor, '0')}})));
}

// A teacher's test file of one sentence pasted over and over, saved with its colours, opens
// again: repetitive text is not a bomb.
TEST(NewDocx, RepetitiveTextReopens) {
  const std::string sentence = "学校で友だちと遊んだ。\n";
  std::string text;
  Marks marks;
  while (text.size() < (2u << 20)) {
    marks.colours.push_back({text.size(), text.size() + 6, MarkColour::Red});
    text += sentence;
  }
  for (const std::string& bytes : {writeNewDocx(text, marks), writeNewOdt(text, marks)}) {
    EXPECT_EQ(openDocument(bytes).text.size(), text.size() + text.size() / sentence.size());
  }
}

TEST(DocxRefused, ZipWithNeitherPart) {
  EXPECT_EQ(refusal(buildZip({{"content.xml", "<x/>"}})), ErrorKind::UnknownFormat);
}

}  // namespace
}  // namespace torvane::documents
