// The text of a .docx: the body in reading order, then the footnotes and the endnotes.
#include <string_view>
#include <vector>

#include "documents/package.h"
#include "documents/xml.h"
#include "documents/zip_package.h"

namespace torvane::documents {
namespace {

using pugi::xml_node;

bool is(xml_node node, std::string_view name) {
  return name == node.name();
}

// A complex field (w:fldChar begin ... separate ... end): its code is not text, its result is.
struct Field {
  bool inResult = false;
  std::uint32_t zone = 0;
  std::uint32_t outerZone = 0;
};

class DocxReader {
 public:
  explicit DocxReader(ParsedPackage& package) : out_(package) {}

  void part(std::uint32_t index, xml_node root) {
    out_.setPart(index);
    fields_.clear();
    out_.setZone(0);
    block(root);
  }

  // Footnotes and endnotes, but not the separator lines Word keeps among them.
  void notes(std::uint32_t index, xml_node root, std::string_view noteName) {
    out_.setPart(index);
    for (xml_node note : root.children()) {
      if (!is(note, noteName)) continue;
      const std::string_view type = note.attribute("w:type").value();
      if (type == "separator" || type == "continuationSeparator" || type == "continuationNotice")
        continue;
      fields_.clear();
      out_.setZone(0);
      block(note);
    }
  }

 private:
  // Anything that holds paragraphs: the body, cells, text boxes, content controls.
  void block(xml_node parent) {
    for (xml_node child : parent.children()) {
      if (child.type() != pugi::node_element) continue;
      const std::string_view name = child.name();
      if (name == "w:p") {
        paragraph(child);
      } else if (name == "mc:AlternateContent") {
        if (const xml_node branch = chosenBranch(child)) block(branch);
      } else if (!skipped(name)) {
        block(child);
      }
    }
  }

  void paragraph(xml_node p) {
    std::vector<xml_node> boxes;  // text boxes anchored here: read after the paragraph
    std::swap(boxes, boxes_);
    inlines(p);
    std::swap(boxes, boxes_);
    out_.made(p, "\r\n");
    for (xml_node box : boxes) block(box);
  }

  // What a paragraph, a hyperlink, a smart tag, an inline content control or an insertion holds.
  void inlines(xml_node parent) {
    for (xml_node child : parent.children()) {
      if (child.type() != pugi::node_element) continue;
      const std::string_view name = child.name();
      if (name == "w:r") {
        run(child);
      } else if (name == "mc:AlternateContent") {
        if (const xml_node branch = chosenBranch(child)) inlines(branch);
      } else if (name == "w:ins" || name == "w:moveTo") {
        // A tracked insertion is text, but a mark may not reach out of it.
        const std::uint32_t outer = out_.zone();
        out_.setZone(out_.newZone());
        inlines(child);
        out_.setZone(outer);
      } else if (!skipped(name)) {
        inlines(child);  // w:hyperlink, w:smartTag, w:sdt, w:sdtContent, w:customXml, w:fldSimple
      }
    }
  }

  void run(xml_node r) {
    for (xml_node child : r.children()) {
      if (child.type() != pugi::node_element) continue;
      const std::string_view name = child.name();
      if (name == "w:fldChar") {
        fieldChar(child.attribute("w:fldCharType").value());
        continue;
      }
      if (inFieldCode()) continue;
      if (name == "w:t") {
        out_.text(child, child.text().get());
      } else if (name == "w:tab" || name == "w:ptab") {
        out_.made(child, "\t");
      } else if (name == "w:br" || name == "w:cr") {
        out_.made(child, "\r\n");
      } else if (name == "w:noBreakHyphen") {
        out_.made(child, "\u2011");
      } else if (name == "w:ruby") {
        const bool outer = out_.inRuby();
        out_.setInRuby(true);
        inlines(child.child("w:rubyBase"));  // the reading (w:rt) is not checked
        out_.setInRuby(outer);
      } else if (name == "mc:AlternateContent") {
        if (const xml_node branch = chosenBranch(child)) findBoxes(branch);
      } else if (name == "w:drawing" || name == "w:pict" || name == "w:object") {
        findBoxes(child);
      }
    }
  }

  // Text box contents below a drawing, one branch of each alternative only.
  void findBoxes(xml_node node) {
    for (xml_node child : node.children()) {
      if (child.type() != pugi::node_element) continue;
      if (is(child, "w:txbxContent")) {
        boxes_.push_back(child);
      } else if (is(child, "mc:AlternateContent")) {
        if (const xml_node branch = chosenBranch(child)) findBoxes(branch);
      } else {
        findBoxes(child);
      }
    }
  }

  // The first choice: Word writes the same content again as the fallback, for older readers.
  static xml_node chosenBranch(xml_node alternate) {
    if (const xml_node choice = alternate.child("mc:Choice")) return choice;
    return alternate.child("mc:Fallback");
  }

  static bool skipped(std::string_view name) {
    return name == "w:pPr" || name == "w:rPr" || name == "w:sectPr" || name == "w:tblPr" ||
           name == "w:tblGrid" || name == "w:trPr" || name == "w:tcPr" || name == "w:sdtPr" ||
           name == "w:sdtEndPr" || name == "w:del" || name == "w:moveFrom" ||
           name == "w:smartTagPr" || name == "w:customXmlPr" || name == "w:instrText" ||
           name == "w:delText" || name == "w:rt" || name == "w:rubyPr" || name == "m:oMath" ||
           name == "m:oMathPara" || name == "w:pPrChange" || name == "w:rPrChange";
  }

  void fieldChar(std::string_view type) {
    if (type == "begin") {
      fields_.push_back({false, out_.newZone(), out_.zone()});
    } else if (type == "separate" && !fields_.empty()) {
      fields_.back().inResult = true;
      out_.setZone(fields_.back().zone);
    } else if (type == "end" && !fields_.empty()) {
      out_.setZone(fields_.back().outerZone);
      fields_.pop_back();
    }
  }

  bool inFieldCode() const {
    for (const Field& field : fields_)
      if (!field.inResult) return true;
    return false;
  }

  TextBuilder out_;
  std::vector<Field> fields_;
  std::vector<xml_node> boxes_;
};

}  // namespace

ParsedPackage parseDocx(std::string_view zipBytes) {
  ZipReader zip(zipBytes);
  ParsedPackage package;
  package.format = DocumentFormat::Docx;
  for (const char* name : {"word/document.xml", "word/footnotes.xml", "word/endnotes.xml"}) {
    if (!zip.has(name)) continue;
    package.parts.push_back({name, parseXml(zip.read(name), name)});
  }
  if (package.parts.empty() || package.parts[0].name != "word/document.xml") {
    throw DocumentError(ErrorKind::DamagedPackage, "the package has no word/document.xml");
  }
  readDocxText(package);
  return package;
}

void readDocxText(ParsedPackage& package) {
  DocxReader reader(package);
  for (std::uint32_t i = 0; i < package.parts.size(); ++i) {
    const XmlPart& part = package.parts[i];
    const xml_node root = part.xml->document_element();
    if (part.name == "word/document.xml") {
      reader.part(i, root.child("w:body"));
    } else {
      reader.notes(i, root, part.name == "word/footnotes.xml" ? "w:footnote" : "w:endnote");
    }
  }
}

}  // namespace torvane::documents
