#include <gtest/gtest.h>

#include <QBuffer>
#include <QHash>
#include <QMimeData>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextDocumentWriter>

#include <zlib.h>

#include "ui/look/fonts.h"
#include "ui/textbox/clipboard_html.h"

namespace torvane::testing {
namespace {

using ui::PastedParagraph;

// The pasted paragraphs as text, one line each.
QString plainText(const QList<PastedParagraph>& paragraphs) {
  QStringList lines;
  for (const PastedParagraph& paragraph : paragraphs) {
    QString line;
    for (const auto& run : paragraph.runs) line += run.text;
    lines.push_back(line);
  }
  return lines.join(u'\n');
}

// Clipboard HTML as the two programs write it: Writer's is its HTML export (tabs before each
// cell's end tag, a newline after each picture, <p><br/></p> for an empty paragraph); Chromium's
// is the selection's markup behind a charset tag, with the page's own line breaks between tags.
TEST(PasteWhitespace, HoldsTheSourceWordsAndLineBreaksAndNothingMore) {
  struct Case {
    const char* what;  // what used to break
    QString html;
    QString text;
  } cases[] = {
      {"a trailing space after each Writer cell, an empty line before and after the table",
       QStringLiteral("<table width=\"100%\" cellpadding=\"0\" cellspacing=\"0\">\n\t<col "
                      "width=\"128*\"/>\n\n\t<tr valign=\"top\">\n\t\t<td width=\"50%\" "
                      "style=\"border: none; padding: 0in\"><p><font face=\"DejaVu Sans\">"
                      "<span lang=\"zh-CN\">表一</span></font></p>\n\t\t</td>\n\t\t<td "
                      "width=\"50%\"><p><span lang=\"zh-CN\">表二</span></p>\n\t\t</td>\n\t"
                      "</tr>\n</table>\n<p style=\"line-height: 100%\"><span>前<font "
                      "color=\"#ff0000\">赤</font>後</span></p>\n"),
       QStringLiteral("表一\n表二\n前赤後")},
      {"a space where a Writer picture stood before its line wrap",
       QStringLiteral("<p><span lang=\"zh-CN\">絵<img src=\"x.png\" name=\"Image1\" "
                      "align=\"bottom\" width=\"19\" height=\"19\" border=\"0\"/>\n</span></p>\n"
                      "<p><span lang=\"zh-CN\">絵<img src=\"x.png\" border=\"0\"/>\n次</span></p>"),
       QStringLiteral("絵\n絵次")},
      {"an empty line after a table that ends the document, before Writer's empty paragraph",
       QStringLiteral("<table><tr><td><p>\n\t\t\t<font face=\"DejaVu Sans\">末</font></p>\n\t\t"
                      "</td>\n\t</tr>\n</table>\n<p style=\"margin-bottom: 0in\"><br/>\n\n</p>\n"
                      "</body>\n</html>\n"),
       QStringLiteral("末\n")},
      {"a trailing space when the HTML ends with a line break",
       QStringLiteral(
           "<meta charset='utf-8'><span style=\"color: rgb(32, 33, 36);\">本文</span>\n"),
       QStringLiteral("本文")},
      {"Chromium's table: spaces from the page's line breaks between cells and rows",
       QStringLiteral("<meta charset='utf-8'><table style=\"color: rgb(0, 0, 0);\">\n<tbody>\n"
                      "<tr>\n  <td>一</td>\n  <td>二 </td>\n</tr>\n</tbody></table>\n<p>後</p>"),
       QStringLiteral("一\n二\n後")},
      {"a line break after <br> and before a block",
       QStringLiteral("<p>改行<br/>\n<font>後</font>\n</p><p>\n  次\n</p>"),
       QStringLiteral("改行\u2028後\n次")},
      // Kept as written: spaces between words, inside an inline run, and preformatted text.
      {"words keep the spaces between them, across inline tags",
       QStringLiteral("<p>a <b>b</b> <i>c</i>\nd</p>"), QStringLiteral("a b c d")},
      {"preformatted text keeps its spaces and tabs", QStringLiteral("<pre>x\t y  </pre>"),
       QStringLiteral("x\t y  ")},
      {"a paragraph's own line breaks stay", QStringLiteral("<p>一<br>二<br><br>三</p>"),
       QStringLiteral("一\u2028二\u2028\u2028三")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(plainText(ui::paragraphsFromHtml(c.html)), c.text) << c.what;
  }
}

TEST(PasteFormats, ColoursKeptLinksPicturesAndBackgroundsDropped) {
  const auto paragraphs = ui::paragraphsFromHtml(QStringLiteral(
      "<p><font color=\"#ff0000\">赤</font><span style=\"color: rgb(128, 128, 128); "
      "background-image: url(https://example.invalid/b.png)\">灰</span>"
      "<a href=\"https://example.invalid/\">リンク</a><img src=\"https://example.invalid/a.png\">"
      "</p>"));
  ASSERT_EQ(paragraphs.size(), 1);
  ASSERT_EQ(paragraphs[0].runs.size(), 3);
  EXPECT_EQ(paragraphs[0].runs[0].format.foreground().color(), QColor(255, 0, 0));
  EXPECT_EQ(paragraphs[0].runs[1].format.foreground().color(), QColor(128, 128, 128));
  for (const auto& run : paragraphs[0].runs) {
    EXPECT_FALSE(run.format.isAnchor()) << run.text.toStdString();
    EXPECT_FALSE(run.format.hasProperty(QTextFormat::BackgroundBrush)) << run.text.toStdString();
    EXPECT_FALSE(run.text.contains(QChar::ObjectReplacementCharacter));
  }
}

// A server that counts the requests it gets would be the outside view; inside, the document
// asks loadResource for everything it fetches, and that is refused. Here the picture and the
// style sheet name local files that exist: were they loaded, the text would change.
TEST(PasteFormats, NothingNamedIsLoaded) {
  const QString html = QStringLiteral(
      "<html><head><link rel=\"stylesheet\" href=\"file:///etc/hostname\">"
      "<style>@import url(file:///etc/hostname); p { color: #00ff00 }</style></head><body>"
      "<p>字<img src=\"file:///usr/share/pixmaps/debian-logo.png\"></p></body></html>");
  const auto paragraphs = ui::paragraphsFromHtml(html);
  EXPECT_EQ(plainText(paragraphs), QStringLiteral("字"));
}

class CopyTest : public ::testing::Test {
 protected:
  // A box text of three paragraphs: red, grey and black characters, tabs, runs of spaces,
  // spaces at the ends of a paragraph, an empty paragraph and a line break.
  void SetUp() override {
    QTextCursor cursor(&document_);
    auto colour = [](QColor c) {
      QTextCharFormat format;
      format.setForeground(c);
      return format;
    };
    cursor.insertText(QStringLiteral("  漢"), colour(QColor(255, 0, 0)));
    cursor.insertText(QStringLiteral("\t字  "), colour(QColor(128, 128, 128)));
    cursor.insertText(QStringLiteral(" あ a b\u2028"), colour(QColor(0, 0, 0)));
    cursor.insertBlock();
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("x<&> "));
    cursor.select(QTextCursor::Document);
    selection_ = cursor;
  }
  QTextDocument document_;
  QTextCursor selection_;
  const QFont font_ = ui::japaneseFont(ui::kProportionalGothic, 16);
};

TEST_F(CopyTest, HtmlKeepsColoursWhitespaceAndNamesTheFont) {
  const QString html = ui::htmlForCopy(selection_, font_);
  EXPECT_TRUE(html.contains(QStringLiteral("color:#ff0000\">&nbsp;&#32;漢</span>"))) << "red";
  EXPECT_TRUE(html.contains(QStringLiteral("color:#808080\">&#9;字&#32;&#32;</span>"))) << "grey";
  EXPECT_TRUE(html.contains(QStringLiteral("&#32;あ a b<br></span><br></p>")))
      << "a line break that ends a paragraph";
  EXPECT_TRUE(html.contains(QStringLiteral(">x&lt;&amp;&gt;&#32;</span></p>"))) << "escaped";
  EXPECT_TRUE(html.contains(QStringLiteral("><br></p>"))) << "the empty paragraph";
  // Every paragraph names the box's face itself and keeps whitespace for browsers.
  static const QRegularExpression paragraph(QStringLiteral("<p style=\"([^\"]*)\">"));
  int paragraphs = 0;
  for (auto it = paragraph.globalMatch(html); it.hasNext(); ++paragraphs) {
    const QString style = it.next().captured(1);
    EXPECT_TRUE(style.contains(QStringLiteral("font-family:'ＭＳ Ｐゴシック','MS PGothic',")))
        << style.toStdString();
    EXPECT_TRUE(style.contains(QStringLiteral("white-space:pre-wrap")));
    EXPECT_TRUE(style.contains(QStringLiteral("font-size:12pt")));
  }
  EXPECT_EQ(paragraphs, 3);
  EXPECT_FALSE(html.contains(QStringLiteral("<style"))) << "no style sheet to be ignored";
}

TEST_F(CopyTest, PlainTextIsTheBoxTextAndOurOwnPasteGivesItBack) {
  std::unique_ptr<QMimeData> data(ui::mimeDataForCopy(selection_, font_));
  EXPECT_EQ(data->text(), document_.toPlainText());
  EXPECT_TRUE(data->hasFormat(QStringLiteral("application/vnd.oasis.opendocument.text")));
  // Pasting the copy back gives the same text and colours.
  const auto paragraphs = ui::paragraphsFromHtml(data->html());
  QStringList lines;
  for (QTextBlock block = document_.begin(); block.isValid(); block = block.next())
    lines.push_back(block.text());
  // The space that opens a paragraph comes back as a no-break space, which the box's text reads
  // as a space.
  EXPECT_EQ(plainText(paragraphs).replace(QChar::Nbsp, u' '), lines.join(u'\n'));
  ASSERT_FALSE(paragraphs.isEmpty());
  ASSERT_GE(paragraphs[0].runs.size(), 2);
  EXPECT_EQ(paragraphs[0].runs[0].format.foreground().color(), QColor(255, 0, 0));
  EXPECT_EQ(paragraphs[0].runs[1].format.foreground().color(), QColor(128, 128, 128));
}

// content.xml of an OpenDocument package as QTextDocumentWriter writes it (every entry with its
// sizes in its local header).
QString contentXml(const QByteArray& package) {
  for (qsizetype at = package.indexOf("PK\x03\x04"); at >= 0 && at + 30 <= package.size();
       at = package.indexOf("PK\x03\x04", at + 4)) {
    auto field = [&](int offset, int bytes) {
      quint32 value = 0;
      for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | static_cast<quint8>(package[at + offset + i]);
      return value;
    };
    const quint32 method = field(8, 2), packed = field(18, 4), size = field(22, 4);
    const quint32 nameLength = field(26, 2), extraLength = field(28, 2);
    if (package.mid(at + 30, nameLength) != "content.xml") continue;
    const QByteArray data = package.mid(at + 30 + nameLength + extraLength, packed);
    if (method == 0) return QString::fromUtf8(data);
    QByteArray out(static_cast<qsizetype>(size), '\0');
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return {};
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&stream, Z_FINISH);
    inflateEnd(&stream);
    return result == Z_STREAM_END ? QString::fromUtf8(out) : QString();
  }
  return {};
}

// The content with every style name replaced by what the style says: two writers may number the
// same styles differently.
QString resolvedStyles(const QString& xml) {
  static const QRegularExpression definition(
      QStringLiteral(R"re(<style:style style:name="([^"]+)"([^>]*)>(.*?)</style:style>)re"),
      QRegularExpression::DotMatchesEverythingOption);
  static const QRegularExpression use(QStringLiteral(R"re(style-name="([^"]+)")re"));
  QHash<QString, QString> styles;
  for (auto it = definition.globalMatch(xml); it.hasNext();) {
    const auto match = it.next();
    styles.insert(match.captured(1), match.captured(2) + match.captured(3));
  }
  const qsizetype body = xml.indexOf(QStringLiteral("<office:body>"));
  QString out = xml.first(xml.indexOf(QStringLiteral("<office:automatic-styles>")));
  qsizetype at = body;
  for (auto it = use.globalMatch(xml, body); it.hasNext();) {
    const auto match = it.next();
    out += xml.mid(at, match.capturedStart() - at) + QStringLiteral("style=") +
           styles.value(match.captured(1), QStringLiteral("?"));
    at = match.capturedEnd();
  }
  return out + xml.mid(at);
}

// The copy's forms are built on a worker from a snapshot, not by Qt's own copy of the
// selection, which took over a second on the window's thread for a long coloured text: what
// reaches the clipboard must not change with that.
TEST_F(CopyTest, FormsFromTheSnapshotAreThoseOfQtsOwnCopy) {
  // Bold, a face and a size on some characters, and a paragraph with a character format of its
  // own.
  QTextCursor more(&document_);
  more.movePosition(QTextCursor::End);
  QTextCharFormat bold;
  bold.setFontWeight(QFont::Bold);
  bold.setFontFamilies({QStringLiteral("IPAGothic")});
  bold.setFontPointSize(20);
  more.insertBlock(QTextBlockFormat(), bold);
  more.insertText(QStringLiteral("太字\u00a0と"), bold);
  more.insertText(QStringLiteral("赤"), [] {
    QTextCharFormat red;
    red.setForeground(QColor(255, 0, 0));
    return red;
  }());
  const int end = document_.characterCount() - 1;
  const struct {
    const char* what;
    int from, to;
  } selections[] = {
      {"everything", 0, end},
      {"part of a paragraph", 3, 5},
      {"across paragraphs", 4, end - 2},
      {"an empty paragraph", 13, 13 + 1},
      {"the last paragraph", end - 5, end},
  };
  for (const auto& s : selections) {
    SCOPED_TRACE(s.what);
    QTextCursor selection(&document_);
    selection.setPosition(s.from);
    selection.setPosition(s.to, QTextCursor::KeepAnchor);
    // Qt's own: a fragment of the selection in a document with the box's font.
    const QTextDocumentFragment fragment(selection);
    QTextDocument qtCopy;
    qtCopy.setDefaultFont(font_);
    QTextCursor(&qtCopy).insertFragment(fragment);
    QBuffer qtOdf;
    ASSERT_TRUE(QTextDocumentWriter(&qtOdf, "ODF").write(&qtCopy));

    const ui::ClipboardFormats ours = ui::formatsForCopy(ui::snapshotForCopy(selection, font_));
    EXPECT_EQ(ours.text, fragment.toPlainText());
    EXPECT_EQ(ours.html, ui::htmlForCopy(selection, font_));
    ASSERT_EQ(ours.data.size(), 3);
    EXPECT_EQ(ours.data[0].first, QStringLiteral("application/vnd.oasis.opendocument.text"));
    EXPECT_EQ(ours.data[1].first, QStringLiteral("text/rtf"));
    EXPECT_EQ(ours.data[2].first, QStringLiteral("text/richtext"));
    const QString content = contentXml(ours.data[0].second);
    ASSERT_FALSE(content.isEmpty());
    EXPECT_EQ(resolvedStyles(content), resolvedStyles(contentXml(qtOdf.data())));
    // What a drag or the X11 selection takes, built as it is asked for, is the same.
    std::unique_ptr<QMimeData> onRequest(ui::mimeDataOnRequest(selection, font_));
    EXPECT_EQ(onRequest->html(), ours.html);
    EXPECT_EQ(onRequest->text(), ours.text);
    EXPECT_EQ(resolvedStyles(contentXml(onRequest->data(ours.data[0].first))),
              resolvedStyles(content));
    for (int i : {1, 2}) EXPECT_EQ(onRequest->data(ours.data[i].first), ours.data[i].second);
  }
  const QString all =
      contentXml(ui::formatsForCopy(ui::snapshotForCopy(selection_, font_)).data.value(0).second);
  EXPECT_TRUE(all.contains(QStringLiteral("fo:color=\"#ff0000\""))) << "red";
  EXPECT_TRUE(all.contains(QStringLiteral("fo:color=\"#808080\""))) << "grey";
}

TEST_F(CopyTest, RtfHoldsTheColoursLineBreaksAndTheBoxFont) {
  const QString rtf = QString::fromLatin1(ui::rtfForCopy(ui::snapshotForCopy(selection_, font_)));
  EXPECT_TRUE(rtf.contains(QStringLiteral(
      "\\fcharset128 IPAPGothic{\\*\\falt \\'82\\'6c\\'82\\'72 \\'82\\'6f\\'83\\'53\\'83\\'56"
      "\\'83\\'62\\'83\\'4e};}}\n{\\colortbl;\\red255\\green0\\blue0;\\red128\\green128\\blue128;"
      "\\red0\\green0\\blue0;}\n\\pard\\plain\\f0\\fs24\\lang1041 ")))
      << rtf.toStdString();
  // Red, grey and black runs, the line break, the empty paragraph and the escapes.
  EXPECT_TRUE(rtf.endsWith(QStringLiteral(
      "{\\cf1   \\u28450?}{\\cf2 \\tab \\u23383?  }{\\cf3  \\u12354? a b\\line\n}\\par\n"
      "\\par\n{\\cf3 x<&> }}\n")))
      << rtf.toStdString();
}

TEST_F(CopyTest, PartOfAParagraph) {
  QTextCursor part(&document_);
  part.setPosition(3);  // after "  漢"
  part.setPosition(5, QTextCursor::KeepAnchor);
  std::unique_ptr<QMimeData> data(ui::mimeDataForCopy(part, font_));
  EXPECT_EQ(data->text(), QStringLiteral("\t字"));
  EXPECT_TRUE(data->html().contains(QStringLiteral("color:#808080\">&#9;字</span></p>")));
  EXPECT_FALSE(data->html().contains(QStringLiteral("漢")));
}

}  // namespace
}  // namespace torvane::testing
