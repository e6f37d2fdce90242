#include "ui/textbox/clipboard_html.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QMimeData>
#include <QRegularExpression>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextDocumentWriter>
#include <QTextTable>

#include <limits>

#include "ui/look/fonts.h"

namespace torvane::ui {
namespace {

// ---- Paste -------------------------------------------------------------------------------------

// Parses HTML without ever fetching an image or a style sheet it names.
class InertDocument : public QTextDocument {
 protected:
  QVariant loadResource(int, const QUrl&) override { return {}; }
};

// The character format without what would make a link or an embedded object of it.
QTextCharFormat plainCharFormat(QTextCharFormat format) {
  for (int property : {QTextFormat::AnchorHref, QTextFormat::AnchorName, QTextFormat::IsAnchor,
                       QTextFormat::ObjectType, QTextFormat::ImageName, QTextFormat::TextToolTip}) {
    format.clearProperty(property);
  }
  format.clearBackground();  // a background may be a picture
  return format;
}

// How a tag bounds the whitespace of the text beside it.
enum class Boundary {
  Line,     // starts or ends a line (a block, a cell, <br>, the document's head): the whitespace
            // beside it is layout only
  Picture,  // <img>: whitespace after it that holds a line break is the writer's line wrapping
  Inline,   // <span>, <b>, <font>...: the whitespace beside it is a real space
  None,     // a comment: look past it
};

const QSet<QString>& lineTags() {
  static const QSet<QString> tags = {
      "!doctype",   "?xml",   "address", "article",  "aside", "blockquote", "body",  "br",
      "caption",    "center", "col",     "colgroup", "dd",    "div",        "dl",    "dt",
      "figcaption", "figure", "footer",  "h1",       "h2",    "h3",         "h4",    "h5",
      "h6",         "head",   "header",  "hr",       "html",  "li",         "link",  "main",
      "meta",       "nav",    "ol",      "p",        "pre",   "section",    "style", "table",
      "tbody",      "td",     "tfoot",   "th",       "thead", "title",      "tr",    "ul"};
  return tags;
}

// Tags whose text keeps its whitespace as written.
bool keepsWhitespace(const QString& name) {
  return name == QLatin1String("pre") || name == QLatin1String("textarea") ||
         name == QLatin1String("xmp") || name == QLatin1String("listing");
}

bool isHtmlSpace(QChar c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

struct Token {
  QString text;
  bool isTag = false;
  QString name = {};  // lower-case tag name
  bool closes = false;
  Boundary boundary = Boundary::Inline;
};

QList<Token> tokenize(const QString& html) {
  static const QRegularExpression markup(QStringLiteral(R"(<!--.*?-->|<[A-Za-z/!?][^>]*>)"),
                                         QRegularExpression::DotMatchesEverythingOption);
  static const QRegularExpression tagName(QStringLiteral(R"(^<(/?)\s*([A-Za-z!?][A-Za-z0-9]*))"));
  QList<Token> tokens;
  qsizetype at = 0;
  for (auto it = markup.globalMatch(html); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    if (match.capturedStart() > at) tokens.push_back({html.mid(at, match.capturedStart() - at)});
    Token tag{match.captured(), true};
    if (tag.text.startsWith(QLatin1String("<!--"))) {
      tag.boundary = Boundary::None;
    } else if (const auto name = tagName.match(tag.text); name.hasMatch()) {
      tag.closes = !name.captured(1).isEmpty();
      tag.name = name.captured(2).toLower();
      tag.boundary = tag.name == QLatin1String("img") ? Boundary::Picture
                     : lineTags().contains(tag.name)  ? Boundary::Line
                                                      : Boundary::Inline;
    }
    tokens.push_back(tag);
    at = match.capturedEnd();
  }
  if (at < html.size()) tokens.push_back({html.mid(at)});
  return tokens;
}

// The HTML without the whitespace a browser never shows: the source's indentation and line
// wrapping at the start and end of lines (around blocks, cells and <br>, and at the ends of the
// HTML), and the line wrapping after a picture. Qt's parser turns each of these into a space.
// Character references (&#32;) are not whitespace here, and <pre> keeps its text as written.
QString withoutLayoutWhitespace(const QString& html) {
  const QList<Token> tokens = tokenize(html);
  auto boundaryFrom = [&](qsizetype i, int step) {
    for (i += step; i >= 0 && i < tokens.size(); i += step) {
      if (tokens[i].isTag && tokens[i].boundary != Boundary::None) return tokens[i].boundary;
    }
    return Boundary::Line;  // the ends of the HTML
  };
  QString out;
  out.reserve(html.size());
  int preDepth = 0;
  for (qsizetype i = 0; i < tokens.size(); ++i) {
    const Token& token = tokens[i];
    if (token.isTag) {
      if (keepsWhitespace(token.name)) preDepth = std::max(0, preDepth + (token.closes ? -1 : 1));
      out += token.text;
      continue;
    }
    if (preDepth > 0) {
      out += token.text;
      continue;
    }
    qsizetype from = 0, to = token.text.size();
    while (from < to && isHtmlSpace(token.text[from])) ++from;
    const Boundary before = boundaryFrom(i, -1);
    const QStringView leading = QStringView(token.text).first(from);
    const bool wrapsAfterPicture =
        before == Boundary::Picture && (leading.contains(u'\n') || leading.contains(u'\r'));
    if (before != Boundary::Line && !wrapsAfterPicture) from = 0;
    if (boundaryFrom(i, +1) == Boundary::Line) {
      while (to > from && isHtmlSpace(token.text[to - 1])) --to;
    }
    out += QStringView(token.text).sliced(from, to - from);
  }
  return out;
}

QTextTable* tableAt(const QTextBlock& block) {
  return block.isValid() ? QTextCursor(block).currentTable() : nullptr;
}

// The empty paragraphs Qt puts after every table, and before a table that opens the document,
// because a document's frames sit between paragraphs. The source has no such line.
bool isTableFiller(const QTextBlock& block) {
  if (!block.text().isEmpty() || tableAt(block) != nullptr) return false;
  const QTextBlock previous = block.previous();
  if (tableAt(previous) != nullptr) return true;
  return !previous.isValid() && tableAt(block.next()) != nullptr;
}

}  // namespace

QList<PastedParagraph> paragraphsFromHtml(const QString& html) {
  InertDocument parsed;
  parsed.setHtml(withoutLayoutWhitespace(html));
  QList<PastedParagraph> paragraphs;
  for (QTextBlock block = parsed.begin(); block.isValid(); block = block.next()) {
    if (isTableFiller(block)) continue;
    PastedParagraph paragraph{plainCharFormat(block.charFormat()), {}};
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid() || fragment.charFormat().isImageFormat()) continue;
      QString text = fragment.text();
      text.remove(QChar::ObjectReplacementCharacter);
      if (!text.isEmpty()) paragraph.runs.push_back({text, plainCharFormat(fragment.charFormat())});
    }
    // A <br> that ends a paragraph gives it height in HTML but makes no line of its own.
    if (!paragraph.runs.isEmpty() && paragraph.runs.back().text.endsWith(QChar::LineSeparator)) {
      paragraph.runs.back().text.chop(1);
      if (paragraph.runs.back().text.isEmpty()) paragraph.runs.pop_back();
    }
    paragraphs.push_back(paragraph);
  }
  return paragraphs;
}

// ---- Copy --------------------------------------------------------------------------------------

namespace {

// The font as a CSS family list: the face by all its names, then the generic family. Naming no
// other face keeps a reader without it from falling back to a Latin face by name.
QString fontFamilies(const QFont& font) {
  QStringList quoted;
  for (const QString& name : faceNames(font.family()))
    quoted.push_back(QLatin1Char('\'') + name + QLatin1Char('\''));
  quoted.push_back(font.styleHint() == QFont::Serif ? QStringLiteral("serif")
                                                    : QStringLiteral("sans-serif"));
  return quoted.join(QLatin1Char(','));
}

// Points, which word processors take as they are; pixels at 96 per inch.
QString fontSize(const QFont& font) {
  const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
  return QString::number(points) + QStringLiteral("pt");
}

// Inline CSS for what a character format sets; colours as exact #rrggbb.
QString runStyle(const QTextCharFormat& format) {
  QStringList style;
  if (format.hasProperty(QTextFormat::ForegroundBrush) &&
      format.foreground().style() != Qt::NoBrush)
    style.push_back(QStringLiteral("color:") + format.foreground().color().name());
  if (format.hasProperty(QTextFormat::FontWeight))
    style.push_back(QStringLiteral("font-weight:") + QString::number(format.fontWeight()));
  if (format.hasProperty(QTextFormat::FontItalic))
    style.push_back(format.fontItalic() ? QStringLiteral("font-style:italic")
                                        : QStringLiteral("font-style:normal"));
  QStringList decorations;
  if (format.fontUnderline()) decorations.push_back(QStringLiteral("underline"));
  if (format.fontStrikeOut()) decorations.push_back(QStringLiteral("line-through"));
  if (!decorations.isEmpty())
    style.push_back(QStringLiteral("text-decoration:") + decorations.join(QLatin1Char(' ')));
  if (format.hasProperty(QTextFormat::FontFamilies) || format.hasProperty(QTextFormat::FontFamily))
    style.push_back(QStringLiteral("font-family:") + fontFamilies(format.font()).toHtmlEscaped());
  if (format.hasProperty(QTextFormat::FontPointSize) ||
      format.hasProperty(QTextFormat::FontPixelSize))
    style.push_back(QStringLiteral("font-size:") + fontSize(format.font()));
  return style.join(QLatin1Char(';'));
}

// A piece [begin, end) of a paragraph's text for HTML readers that collapse whitespace: a tab as
// &#9; and a space that would collapse (one of a run, or at either end of the paragraph) as
// &#32;, both of which word processors keep as written; a space that opens the paragraph as
// &nbsp;, as word processors drop it in any other form. A line separator is a <br>.
QString pieceHtml(const QString& paragraph, qsizetype begin, qsizetype end) {
  auto isSpaceAt = [&](qsizetype i) {
    return i < 0 || i >= paragraph.size() || paragraph[i] == u' ' || paragraph[i] == u'\t' ||
           paragraph[i] == QChar::LineSeparator;
  };
  QString out;
  for (qsizetype i = begin; i < end; ++i) {
    const QChar c = paragraph[i];
    if (c == u'\t') {
      out += QStringLiteral("&#9;");
    } else if (c == u' ') {
      out += i == 0                                 ? QStringLiteral("&nbsp;")
             : isSpaceAt(i - 1) || isSpaceAt(i + 1) ? QStringLiteral("&#32;")
                                                    : QStringLiteral(" ");
    } else if (c == QChar::LineSeparator) {
      out += QStringLiteral("<br>");
    } else if (c == QChar::Nbsp) {
      out += QStringLiteral("&nbsp;");
    } else {
      out += QString(c).toHtmlEscaped();
    }
  }
  return out;
}

}  // namespace

namespace {

// A copy of the format that shares nothing with the document's.
QTextFormat detached(const QTextFormat& format) {
  QTextFormat copy(format.type());
  copy.setObjectType(format.objectType());
  const QMap<int, QVariant> properties = format.properties();
  for (auto it = properties.begin(); it != properties.end(); ++it)
    copy.setProperty(it.key(), it.value());
  return copy;
}

}  // namespace

SnapshotTaker::SnapshotTaker(const QTextCursor& selection, const QFont& boxFont)
    : document_(selection.document()),
      start_(selection.selectionStart()),
      end_(selection.selectionEnd()),
      font_(boxFont) {
  // The paragraphs' text with a separator between each two, as the document holds it. The
  // cursor's own copy costs over ten times the document's whole text a character: it is taken
  // only for a small part of a long text.
  if ((end_ - start_) * 8 < document_->characterCount()) {
    snapshot_.text = selection.selectedText();
  } else {
    // Cut in place: a copy of a long text costs as much again.
    snapshot_.text = document_->toRawText();
    snapshot_.text.truncate(end_);
    snapshot_.text.remove(0, start_);
  }
  next_ = document_->findBlock(start_);
}

bool SnapshotTaker::more(qint64 budgetMs) {
  QElapsedTimer clock;
  clock.start();
  int counted = 0;
  for (; next_.isValid() && next_.position() <= end_; next_ = next_.next()) {
    // The clock is read once every few hundred paragraphs.
    if (++counted % 256 == 0 && clock.elapsed() >= budgetMs) return false;
    const QTextBlock& block = next_;
    const int from = std::max(start_, block.position());
    const int to = std::min(end_, block.position() + block.length() - 1);
    CopySnapshot::Paragraph paragraph{std::max(0, to - from), 0, block.blockFormatIndex(),
                                      block.charFormatIndex()};
    // Positions are counted here: a fragment finds its own by a walk of the document's tree.
    int at = block.position();
    for (auto it = block.begin(); !it.atEnd() && at < to; ++it) {
      const QTextFragment fragment = it.fragment();
      const int length = fragment.length();
      const int piece = std::min(to, at + length) - std::max(from, at);
      at += length;
      if (piece <= 0) continue;
      snapshot_.runs.push_back({piece, fragment.charFormatIndex()});
      ++paragraph.runs;
    }
    snapshot_.paragraphs.push_back(paragraph);
  }
  return true;
}

CopySnapshot SnapshotTaker::take() && {
  const QList<QTextFormat> formats = document_->allFormats();
  snapshot_.formats.reserve(formats.size());
  snapshot_.runStyles.reserve(formats.size());
  for (const QTextFormat& format : formats) {
    snapshot_.formats.push_back(detached(format));
    snapshot_.runStyles.push_back(format.isCharFormat() ? runStyle(format.toCharFormat())
                                                        : QString());
  }
  // Every paragraph carries the whole style: word processors read no style sheet, and browsers
  // keep inline styles when the HTML is pasted into an editable page.
  snapshot_.paragraphStyle =
      QStringLiteral("margin:0;white-space:pre-wrap;font-family:%1;font-size:%2")
          .arg(fontFamilies(font_).toHtmlEscaped(), fontSize(font_));
  snapshot_.font = font_.toString();
  snapshot_.rtfFont = rtfFontOf(font_);
  return std::move(snapshot_);
}

CopySnapshot snapshotForCopy(const QTextCursor& selection, const QFont& boxFont) {
  SnapshotTaker taker(selection, boxFont);
  taker.more(std::numeric_limits<qint64>::max());
  return std::move(taker).take();
}

reading::rtf::Font rtfFontOf(const QFont& font) {
  const QStringList names = faceNames(font.family());
  const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
  return {names.back().toStdString(), names.size() > 1 ? font.family().toStdString() : "",
          std::max(1, qRound(points * 2))};
}

const QStringList& rtfTypes() {
  // text/rtf is LibreOffice's own name on X11, text/richtext its second one and Word's.
  static const QStringList types = {QStringLiteral("text/rtf"), QStringLiteral("text/richtext")};
  return types;
}

void addRtf(QList<std::pair<QString, QByteArray>>& data, const QByteArray& rtf) {
  for (const QString& type : rtfTypes()) data.push_back({type, rtf});
}

QByteArray rtfForCopy(const CopySnapshot& snapshot) {
  reading::rtf::Writer writer(snapshot.rtfFont);
  // One colour a format, looked up once.
  std::vector<std::optional<reading::rtf::Rgb>> colours(
      static_cast<std::size_t>(snapshot.formats.size()));
  for (qsizetype i = 0; i < snapshot.formats.size(); ++i) {
    const QTextFormat& format = snapshot.formats[i];
    if (format.isCharFormat() && format.hasProperty(QTextFormat::ForegroundBrush) &&
        format.foreground().style() != Qt::NoBrush)
      colours[static_cast<std::size_t>(i)] = format.foreground().color().rgb() & 0xFFFFFFu;
  }
  qsizetype at = 0;
  std::size_t run = 0;
  for (std::size_t p = 0; p < snapshot.paragraphs.size(); ++p) {
    if (p > 0) writer.paragraph();
    const CopySnapshot::Paragraph& paragraph = snapshot.paragraphs[p];
    for (int i = 0; i < paragraph.runs; ++i, ++run) {
      const CopySnapshot::Run& r = snapshot.runs[run];
      writer.text(snapshot.text.mid(at, r.length).toStdString(),
                  colours.at(static_cast<std::size_t>(r.format)));
      at += r.length;
    }
    ++at;  // the separator
  }
  const std::string rtf = std::move(writer).finish();
  return QByteArray(rtf.data(), static_cast<qsizetype>(rtf.size()));
}

QString htmlForCopy(const CopySnapshot& snapshot) {
  QString body;
  qsizetype at = 0;
  std::size_t run = 0;
  for (const CopySnapshot::Paragraph& paragraph : snapshot.paragraphs) {
    // Spaces are judged on the paragraph's whole selected text, across its runs.
    const QString text = snapshot.text.mid(at, paragraph.length);
    at += paragraph.length + 1;  // and the separator
    QString inner;
    qsizetype pieceFrom = 0;
    for (int i = 0; i < paragraph.runs; ++i, ++run) {
      const CopySnapshot::Run& r = snapshot.runs[run];
      const QString html = pieceHtml(text, pieceFrom, pieceFrom + r.length);
      pieceFrom += r.length;
      const QString& style = snapshot.runStyles[r.format];
      inner +=
          style.isEmpty() ? html : QStringLiteral("<span style=\"%1\">%2</span>").arg(style, html);
    }
    // A <br> that ends a paragraph makes no line of its own in HTML: an empty paragraph, or one
    // ending in a line break, needs one more.
    if (text.isEmpty() || text.endsWith(QChar::LineSeparator)) inner += QStringLiteral("<br>");
    body += QStringLiteral("<p style=\"%1\">%2</p>\n").arg(snapshot.paragraphStyle, inner);
  }
  return QStringLiteral(
             "<html><head><meta charset=\"utf-8\"></head><body>\n<!--StartFragment-->%1"
             "<!--EndFragment-->\n</body></html>\n")
      .arg(body);
}

QString htmlForCopy(const QTextCursor& selection, const QFont& boxFont) {
  return htmlForCopy(snapshotForCopy(selection, boxFont));
}

namespace {

const QString kOdfType = QStringLiteral("application/vnd.oasis.opendocument.text");

// The selection again as a document of its own, as the box's own copy would make it.
void buildCopy(const CopySnapshot& snapshot, QTextDocument& copy) {
  copy.setUndoRedoEnabled(false);  // a history of every run would cost more than the runs
  QFont font;
  font.fromString(snapshot.font);
  copy.setDefaultFont(font);
  QTextCursor cursor(&copy);
  // One edit block: the document tells of its changes once, not once a run, which is six times
  // faster.
  cursor.beginEditBlock();
  qsizetype at = 0;
  std::size_t run = 0;
  for (std::size_t p = 0; p < snapshot.paragraphs.size(); ++p) {
    const CopySnapshot::Paragraph& paragraph = snapshot.paragraphs[p];
    const QTextBlockFormat blockFormat = snapshot.formats[paragraph.blockFormat].toBlockFormat();
    const QTextCharFormat charFormat = snapshot.formats[paragraph.charFormat].toCharFormat();
    if (p == 0) {
      cursor.setBlockFormat(blockFormat);
      cursor.setBlockCharFormat(charFormat);
    } else {
      cursor.insertBlock(blockFormat, charFormat);
    }
    for (int i = 0; i < paragraph.runs; ++i, ++run) {
      const CopySnapshot::Run& r = snapshot.runs[run];
      cursor.insertText(snapshot.text.mid(at, r.length), snapshot.formats[r.format].toCharFormat());
      at += r.length;
    }
    ++at;  // the separator
  }
  cursor.endEditBlock();
}

QByteArray odfOf(const QTextDocument& copy) {
  QBuffer buffer;
  QTextDocumentWriter writer(&buffer, "ODF");
  return writer.write(&copy) ? buffer.data() : QByteArray();
}

// The forms of a copy, each built when a reader first asks for it: for what Qt takes from the
// box at once (the X11 selection after every selection by mouse or Ctrl+A, a drag), where all
// the forms of a long text would hold the window.
class SnapshotMimeData : public QMimeData {
 public:
  explicit SnapshotMimeData(CopySnapshot snapshot) : snapshot_(std::move(snapshot)) {}
  QStringList formats() const override {
    return QStringList{QStringLiteral("text/html"), kOdfType} + rtfTypes() +
           QStringList{QStringLiteral("text/plain")};
  }
  bool hasFormat(const QString& type) const override { return formats().contains(type); }

 protected:
  QVariant retrieveData(const QString& type, QMetaType) const override {
    if (type == QLatin1String("text/html")) return htmlForCopy(snapshot_);
    if (type == QLatin1String("text/plain")) return plainTextForCopy(snapshot_);
    if (rtfTypes().contains(type)) return rtfForCopy(snapshot_);
    if (type == kOdfType) {
      QTextDocument copy;
      buildCopy(snapshot_, copy);
      return odfOf(copy);
    }
    return {};
  }

 private:
  CopySnapshot snapshot_;
};

}  // namespace

// As QTextDocument::toPlainText gives it for the copy: separators as line feeds, no-break
// spaces as spaces.
QString plainTextForCopy(const CopySnapshot& snapshot) {
  QString text = snapshot.text;
  for (QChar& c : text) {
    switch (c.unicode()) {
      case 0xFDD0:  // the beginning and end of a frame
      case 0xFDD1:
      case QChar::ParagraphSeparator:
      case QChar::LineSeparator: c = u'\n'; break;
      case QChar::Nbsp: c = u' '; break;
      default: break;
    }
  }
  return text;
}

ClipboardFormats formatsForCopy(const CopySnapshot& snapshot) {
  ClipboardFormats formats;
  formats.html = htmlForCopy(snapshot);
  QTextDocument copy;
  buildCopy(snapshot, copy);
  if (QByteArray odf = odfOf(copy); !odf.isEmpty()) formats.data.push_back({kOdfType, odf});
  addRtf(formats.data, rtfForCopy(snapshot));
  formats.text = plainTextForCopy(snapshot);
  return formats;
}

QMimeData* mimeDataOnRequest(const QTextCursor& selection, const QFont& boxFont) {
  return new SnapshotMimeData(snapshotForCopy(selection, boxFont));
}

QMimeData* mimeDataOf(ClipboardFormats formats) {
  auto* data = new QMimeData;
  data->setHtml(std::move(formats.html));
  for (auto& [type, bytes] : formats.data) data->setData(type, bytes);
  data->setText(std::move(formats.text));
  return data;
}

QMimeData* mimeDataForCopy(const QTextCursor& selection, const QFont& boxFont) {
  return mimeDataOf(formatsForCopy(snapshotForCopy(selection, boxFont)));
}

}  // namespace torvane::ui
