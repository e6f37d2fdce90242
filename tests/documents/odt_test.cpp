#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "documents/document.h"
#include "documents/writers.h"
#include "documents/zip_package.h"

namespace torvane::documents {
namespace {

std::string odt(const std::string& body) {
  return buildZip({
      {"mimetype", "application/vnd.oasis.opendocument.text", true},
      {"content.xml",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-content "
       "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
       "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
       "xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\" "
       "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\">"
       "<office:automatic-styles/><office:body><office:text>" +
           body + "</office:text></office:body></office:document-content>"},
      {"styles.xml", "<office:document-styles/>"},
  });
}

struct ReadCase {
  const char* name;
  std::string body;
  std::string text;
};

class OdtReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(OdtReadTest, TextAsTheCheckSeesIt) {
  const OpenedDocument document = openDocument(odt(GetParam().body));
  EXPECT_EQ(document.format, DocumentFormat::Odt);
  EXPECT_EQ(document.text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OdtReadTest,
    testing::Values(
        ReadCase{"SpansSplitInsideAWord",
                 "<text:p>漢<text:span "
                 "text:style-name=\"T1\">字</text:span></text:p><text:h>見出し</text:h>",
                 "漢字\r\n見出し\r\n"},
        ReadCase{"SpacesTabsBreaks",
                 "<text:p>a<text:s text:c=\"3\"/>b<text:tab/>c<text:line-break/>d</text:p>",
                 "a   b\tc\r\nd\r\n"},
        ReadCase{"RubyBaseNotReading",
                 "<text:p><text:ruby><text:ruby-base>漢</text:ruby-base><text:ruby-text>かん</"
                 "text:ruby-text>"
                 "</text:ruby>字</text:p>",
                 "漢字\r\n"},
        ReadCase{"NoteAtTheEnd",
                 "<text:p>本<text:note "
                 "text:note-class=\"footnote\"><text:note-citation>1</text:note-citation>"
                 "<text:note-body><text:p>注</text:p></text:note-body></text:note>文</"
                 "text:p><text:p>次</text:p>",
                 "本文\r\n次\r\n注\r\n"},
        ReadCase{"FrameAfterItsParagraph",
                 "<text:p>本<draw:frame><draw:text-box><text:p>箱</text:p></draw:text-box></"
                 "draw:frame>文</text:p>",
                 "本文\r\n箱\r\n"},
        ReadCase{"DeletionOutInsertionIn",
                 "<text:tracked-changes><text:changed-region "
                 "text:id=\"c1\"><text:deletion><text:p>旧</text:p>"
                 "</text:deletion></text:changed-region></text:tracked-changes>"
                 "<text:p>前<text:change text:change-id=\"c1\"/><text:change-start "
                 "text:change-id=\"c2\"/>新"
                 "<text:change-end text:change-id=\"c2\"/></text:p>",
                 "前新\r\n"},
        ReadCase{
            "TableAndList",
            "<table:table><table:table-row><table:table-cell><text:p>一</text:p></table:table-cell>"
            "<table:table-cell><text:p>二</text:p></table:table-cell></table:table-row></"
            "table:table>"
            "<text:list><text:list-item><text:p>三</text:p></text:list-item></text:list>",
            "一\r\n二\r\n三\r\n"}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

Marks rubyOn(std::size_t begin, std::size_t end, const std::string& reading) {
  Marks marks;
  marks.words.push_back({begin, end, {{begin, end, reading}}, WordStyle::Ruby});
  return marks;
}

std::string content(const std::string& package) {
  return ZipReader(package).read("content.xml");
}

TEST(OdtRoundTrip, RubyOverSpansSplitInsideTheWord) {
  const std::string original =
      odt("<text:p>前漢<text:span text:style-name=\"T1\">字後</text:span></text:p>");
  const OpenedDocument document = openDocument(original);
  const RoundTrip written = writeRoundTrip(document, rubyOn(3, 9, "かんじ"));
  EXPECT_EQ(written.wordsLeftAlone, 0u);
  EXPECT_EQ(openDocument(written.bytes).text, "前漢字後\r\n");
  const std::string xml = content(written.bytes);
  EXPECT_NE(xml.find("<text:p>前<text:ruby text:style-name=\"Torvane_Ruby\"><text:ruby-base>漢"
                     "<text:span text:style-name=\"T1\">字</text:span></text:ruby-base>"
                     "<text:ruby-text>かんじ</text:ruby-text></text:ruby>"
                     "<text:span text:style-name=\"T1\">後</text:span></text:p>"),
            std::string::npos)
      << xml;
  EXPECT_NE(xml.find("style:family=\"ruby\""), std::string::npos);
  EXPECT_EQ(ZipReader(written.bytes).read("styles.xml"), ZipReader(original).read("styles.xml"));
}

TEST(OdtRoundTrip, ColourAsAnAutomaticTextStyle) {
  const OpenedDocument document = openDocument(odt("<text:p>漢字</text:p>"));
  Marks marks;
  marks.colours.push_back({3, 6, MarkColour::Grey});
  const std::string xml = content(writeRoundTrip(document, marks).bytes);
  EXPECT_NE(xml.find("漢<text:span text:style-name=\"Torvane_Grey\">字</text:span>"),
            std::string::npos)
      << xml;
  EXPECT_NE(xml.find("<style:style style:name=\"Torvane_Grey\" style:family=\"text\">"
                     "<style:text-properties fo:color=\"#808080\"/>"),
            std::string::npos)
      << xml;
}

TEST(OdtRoundTrip, WordAcrossALinkOrAnInsertionIsLeftAlone) {
  for (const std::string body :
       {"<text:p>漢<text:a xlink:href=\"x\">字</text:a></text:p>",
        "<text:p>漢<text:change-start text:change-id=\"c\"/>字<text:change-end "
        "text:change-id=\"c\"/></text:p>"}) {
    const std::string original = odt(body);
    const RoundTrip written = writeRoundTrip(openDocument(original), rubyOn(0, 6, "かんじ"));
    EXPECT_EQ(written.wordsLeftAlone, 1u) << body;
    EXPECT_EQ(written.bytes, original) << body;
  }
}

TEST(NewOdt, ReadsBackAsItsTextWithSpacesKept) {
  const std::string text = " 二  空白\t漢字";
  const std::string bytes = writeNewOdt(text, rubyOn(13, 19, "かんじ"));
  EXPECT_EQ(openDocument(bytes).text, text + "\r\n");
  EXPECT_EQ(ZipReader(bytes).read("mimetype"), "application/vnd.oasis.opendocument.text");
  EXPECT_NE(content(bytes).find("<text:ruby-text>かんじ</text:ruby-text>"), std::string::npos);
}

}  // namespace
}  // namespace torvane::documents
