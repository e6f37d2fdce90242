// New documents from a text, and text files with their words rewritten.
#include "documents/writers.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "documents/package.h"
#include "documents/text_file.h"
#include "documents/xml.h"
#include "documents/zip_package.h"

namespace torvane::documents {
namespace {

using pugi::xml_node;

// The text with every line end as CR LF and what XML cannot hold as a space, so that it reads
// back byte for byte as the reader makes it; `positions` maps the caller's offsets into it.
struct PreparedText {
  std::string text;
  std::vector<std::size_t> positions;  // empty when the text was already so
};

PreparedText prepare(std::string_view text) {
  bool plain = true;
  for (std::size_t i = 0; i < text.size() && plain; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\n' && (i == 0 || text[i - 1] != '\r')) plain = false;
    if (c == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) plain = false;
    if (c < 0x20 && c != '\t' && c != '\r' && c != '\n') plain = false;
  }
  PreparedText prepared;
  if (plain) {
    prepared.text = text;
    return prepared;
  }
  prepared.positions.reserve(text.size() + 1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    prepared.positions.push_back(prepared.text.size());
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      prepared.positions.push_back(prepared.text.size() + 1);
      prepared.text += "\r\n";
      ++i;
    } else if (c == '\r' || c == '\n') {
      prepared.text += "\r\n";
    } else {
      prepared.text += c < 0x20 && c != '\t' ? ' ' : static_cast<char>(c);
    }
  }
  prepared.positions.push_back(prepared.text.size());
  return prepared;
}

Marks moved(const Marks& marks, const std::vector<std::size_t>& positions) {
  if (positions.empty()) return marks;
  auto at = [&](std::size_t x) { return positions[std::min(x, positions.size() - 1)]; };
  Marks out = marks;
  for (ColourRange& c : out.colours) c = {at(c.begin), at(c.end), c.colour};
  for (WordRewrite& w : out.words) {
    w.begin = at(w.begin);
    w.end = at(w.end);
    for (RubyPiece& p : w.pieces) p = {at(p.begin), at(p.end), p.reading};
  }
  return out;
}

// Calls line(begin, end) for each paragraph of CR LF text; a final CR LF opens no paragraph.
template <class Line>
void forEachLine(std::string_view text, Line&& line) {
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find("\r\n", begin);
    if (end == std::string_view::npos) end = text.size();
    line(text.substr(begin, end - begin));
    begin = end + 2;
  }
}

std::unique_ptr<pugi::xml_document> xmlOf(std::string_view source) {
  return parseXml(source, "new");
}

std::string font() {
  return std::string(kJapaneseFont);
}

constexpr std::string_view kWordNamespace =
    "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

std::string docxStyles() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<w:styles xmlns:w=\"" +
         std::string(kWordNamespace) +
         "\">"
         "<w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii=\"" +
         font() + "\" w:eastAsia=\"" + font() + "\" w:hAnsi=\"" + font() + "\" w:cs=\"" + font() +
         "\"/><w:kern w:val=\"2\"/><w:sz w:val=\"21\"/><w:szCs w:val=\"21\"/>"
         "<w:lang w:val=\"en-US\" w:eastAsia=\"ja-JP\" w:bidi=\"ar-SA\"/></w:rPr></w:rPrDefault>"
         "<w:pPrDefault/></w:docDefaults>"
         "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\">"
         "<w:name w:val=\"Normal\"/><w:qFormat/></w:style></w:styles>";
}

void docxParagraphs(xml_node body, std::string_view text) {
  forEachLine(text, [&](std::string_view line) {
    xml_node p = body.append_child("w:p");
    if (line.empty()) return;
    xml_node run = p.append_child("w:r");
    std::size_t begin = 0;
    while (begin <= line.size()) {
      std::size_t tab = line.find('\t', begin);
      if (tab == std::string_view::npos) tab = line.size();
      if (tab > begin) {
        xml_node t = run.append_child("w:t");
        t.append_attribute("xml:space").set_value("preserve");
        t.text().set(std::string(line.substr(begin, tab - begin)).c_str());
      }
      if (tab == line.size()) break;
      run.append_child("w:tab");
      begin = tab + 1;
    }
  });
}

constexpr std::string_view kOdtNamespaces =
    " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
    " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
    " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
    " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
    " xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\""
    " office:version=\"1.3\"";

std::string odtFontFaces() {
  return "<office:font-face-decls><style:font-face style:name=\"" + font() +
         "\" svg:font-family=\"" + font() +
         "\" style:font-family-generic=\"modern\" style:font-pitch=\"fixed\"/>"
         "</office:font-face-decls>";
}

std::string odtStyles() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-styles" +
         std::string(kOdtNamespaces) + ">" + odtFontFaces() +
         "<office:styles><style:default-style style:family=\"paragraph\">"
         "<style:text-properties style:font-name=\"" +
         font() + "\" style:font-name-asian=\"" + font() + "\" style:font-name-complex=\"" +
         font() +
         "\" fo:font-size=\"10.5pt\" style:font-size-asian=\"10.5pt\" fo:language=\"ja\""
         " fo:country=\"JP\" style:language-asian=\"ja\" style:country-asian=\"JP\"/>"
         "</style:default-style>"
         "<style:style style:name=\"Standard\" style:family=\"paragraph\" style:class=\"text\"/>"
         "</office:styles></office:document-styles>";
}

// Spaces after the first of a run, and at a paragraph's start, go in text:s: XML readers
// fold runs of spaces into one.
void odtParagraphs(xml_node body, std::string_view text) {
  forEachLine(text, [&](std::string_view line) {
    xml_node p = body.append_child("text:p");
    p.append_attribute("text:style-name").set_value("Standard");
    std::string pending;
    auto flush = [&] {
      if (!pending.empty()) p.append_child(pugi::node_pcdata).set_value(pending.c_str());
      pending.clear();
    };
    for (std::size_t i = 0; i < line.size();) {
      if (line[i] == '\t') {
        flush();
        p.append_child("text:tab");
        ++i;
        continue;
      }
      const bool spaceStartsRun =
          line[i] == ' ' && i > 0 && line[i - 1] != ' ' && line[i - 1] != '\t';
      if (line[i] != ' ' || spaceStartsRun) {
        pending += line[i++];
        continue;
      }
      std::size_t end = i;
      while (end < line.size() && line[end] == ' ') ++end;
      flush();
      xml_node s = p.append_child("text:s");
      if (end - i > 1) s.append_attribute("text:c").set_value(static_cast<unsigned>(end - i));
      i = end;
    }
    flush();
  });
}

// The package read back, the marks applied, and its parts written.
std::string finish(ParsedPackage& package, std::string_view expected, const Marks& marks,
                   std::vector<ZipEntry> entries) {
  if (package.format == DocumentFormat::Docx) {
    readDocxText(package);
  } else {
    readOdtText(package);
  }
  if (!std::string_view(package.text).starts_with(expected)) {
    throw std::logic_error("a new document does not read back as its text");
  }
  applyMarks(package, marks);
  for (ZipEntry& entry : entries) {
    for (const XmlPart& part : package.parts)
      if (part.name == entry.name) entry.bytes = serializeXml(*part.xml);
  }
  return buildZip(entries);
}

}  // namespace

std::string writeNewDocx(std::string_view text, const Marks& marks) {
  const PreparedText prepared = prepare(text);
  ParsedPackage package;
  package.format = DocumentFormat::Docx;
  auto document = xmlOf(
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<w:document xmlns:w=\"" +
      std::string(kWordNamespace) + "\"><w:body/></w:document>");
  xml_node body = document->document_element().child("w:body");
  docxParagraphs(body, prepared.text);
  xml_node section = body.append_child("w:sectPr");
  xml_node size = section.append_child("w:pgSz");
  size.append_attribute("w:w").set_value("11906");  // A4
  size.append_attribute("w:h").set_value("16838");
  xml_node margins = section.append_child("w:pgMar");
  for (const auto& [name, value] :
       {std::pair{"w:top", "1985"}, std::pair{"w:right", "1701"}, std::pair{"w:bottom", "1701"},
        std::pair{"w:left", "1701"}, std::pair{"w:header", "851"}, std::pair{"w:footer", "992"},
        std::pair{"w:gutter", "0"}})
    margins.append_attribute(name).set_value(value);
  package.parts.push_back({"word/document.xml", std::move(document)});
  return finish(
      package, prepared.text, moved(marks, prepared.positions),
      {{"[Content_Types].xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
        "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
        "<Override PartName=\"/word/styles.xml\" ContentType=\"application/"
        "vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/></Types>"},
       {"_rels/.rels",
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
        "relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>"},
       {"word/_rels/document.xml.rels",
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
        "relationships/styles\" Target=\"styles.xml\"/></Relationships>"},
       {"word/document.xml", ""},
       {"word/styles.xml", docxStyles()}});
}

std::string writeNewOdt(std::string_view text, const Marks& marks) {
  const PreparedText prepared = prepare(text);
  ParsedPackage package;
  package.format = DocumentFormat::Odt;
  auto content = xmlOf("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-content" +
                       std::string(kOdtNamespaces) + ">" + odtFontFaces() +
                       "<office:automatic-styles/><office:body><office:text/></office:body>"
                       "</office:document-content>");
  odtParagraphs(content->document_element().child("office:body").child("office:text"),
                prepared.text);
  package.parts.push_back({"content.xml", std::move(content)});
  return finish(package, prepared.text, moved(marks, prepared.positions),
                {{"mimetype", "application/vnd.oasis.opendocument.text", true},
                 {"META-INF/manifest.xml",
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                  "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:"
                  "manifest:1.0\" manifest:version=\"1.3\">"
                  "<manifest:file-entry manifest:full-path=\"/\" manifest:version=\"1.3\" "
                  "manifest:media-type=\"application/vnd.oasis.opendocument.text\"/>"
                  "<manifest:file-entry manifest:full-path=\"content.xml\" "
                  "manifest:media-type=\"text/xml\"/>"
                  "<manifest:file-entry manifest:full-path=\"styles.xml\" "
                  "manifest:media-type=\"text/xml\"/></manifest:manifest>"},
                 {"content.xml", ""},
                 {"styles.xml", odtStyles()}});
}

std::string writeText(std::string_view text, const Marks& marks, TextEncoding encoding,
                      LineEnd lineEnd, bool byteOrderMark) {
  std::vector<const WordRewrite*> words;
  for (const WordRewrite& w : marks.words) words.push_back(&w);
  std::sort(words.begin(), words.end(),
            [](const WordRewrite* a, const WordRewrite* b) { return a->begin < b->begin; });
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  std::size_t written = 0;
  for (const WordRewrite* word : words) {
    if (word->begin < written || word->end > text.size()) continue;
    out += text.substr(written, word->begin - written);
    written = word->begin;
    for (const RubyPiece& piece : word->pieces) {
      if (piece.begin < written || piece.end > word->end) continue;
      out += text.substr(written, piece.begin - written);
      if (word->style == WordStyle::Kana) {
        out += piece.reading;
      } else {
        out += "｜";
        out += text.substr(piece.begin, piece.end - piece.begin);
        out += "《" + piece.reading + "》";
      }
      written = piece.end;
    }
    out += text.substr(written, word->end - written);
    written = word->end;
  }
  out += text.substr(written);
  return encodeText(out, encoding, lineEnd, byteOrderMark);
}

std::string writeText(const OpenedDocument& document, const Marks& marks) {
  if (document.format != DocumentFormat::Text) return writeText(document.text, marks);
  return writeText(document.text, marks, document.encoding, document.lineEnd,
                   document.byteOrderMark);
}

}  // namespace torvane::documents
