// The text of an .odt: content.xml's body in reading order, frames after their paragraph and
// notes at the end.
#include <string_view>
#include <vector>

#include "documents/package.h"
#include "documents/xml.h"
#include "documents/zip_package.h"

namespace torvane::documents {
namespace {

using pugi::xml_node;

class OdtReader {
 public:
  explicit OdtReader(ParsedPackage& package) : out_(package) {}

  void body(xml_node text) {
    block(text);
    // Notes come last, as footnotes and endnotes do in a .docx.
    for (std::size_t i = 0; i < notes_.size(); ++i) block(notes_[i]);
  }

 private:
  void block(xml_node parent) {
    for (xml_node child : parent.children()) {
      if (child.type() != pugi::node_element) continue;
      const std::string_view name = child.name();
      if (name == "text:p" || name == "text:h") {
        paragraph(child);
      } else if (name != "text:tracked-changes" && name != "office:annotation" &&
                 name != "text:sequence-decls" && name != "office:forms") {
        block(child);  // lists, sections, tables, rows, cells, frames, text boxes
      }
    }
  }

  void paragraph(xml_node p) {
    std::vector<xml_node> frames;
    std::swap(frames, frames_);
    inlines(p);
    std::swap(frames, frames_);
    out_.made(p, "\r\n");
    for (xml_node frame : frames) block(frame);
  }

  void inlines(xml_node parent) {
    for (xml_node child : parent.children()) {
      if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
        out_.text(child, child.value());
        continue;
      }
      if (child.type() != pugi::node_element) continue;
      const std::string_view name = child.name();
      if (name == "text:s") {
        const int count = child.attribute("text:c").as_int(1);
        out_.made(child, std::string(count > 0 ? count : 1, ' '));
      } else if (name == "text:tab") {
        out_.made(child, "\t");
      } else if (name == "text:line-break") {
        out_.made(child, "\r\n");
      } else if (name == "text:ruby") {
        const bool outer = out_.inRuby();
        out_.setInRuby(true);
        inlines(child.child("text:ruby-base"));  // the reading (text:ruby-text) is not checked
        out_.setInRuby(outer);
      } else if (name == "text:note") {
        notes_.push_back(child.child("text:note-body"));
      } else if (name == "text:change-start") {
        // A tracked insertion runs to its change-end: text, but a mark may not reach out of it.
        out_.setZone(out_.newZone());
      } else if (name == "text:change-end") {
        out_.setZone(0);
      } else if (name.starts_with("draw:")) {
        frames_.push_back(child);  // a frame's text box, a shape's text
      } else if (name != "office:annotation" && name != "office:annotation-end" &&
                 name != "text:note-citation" && name != "text:change" && name != "text:bookmark" &&
                 name != "text:bookmark-start" && name != "text:bookmark-end" &&
                 name != "text:soft-page-break") {
        inlines(child);  // spans, links, fields (their text is their result), meta
      }
    }
  }

  TextBuilder out_;
  std::vector<xml_node> frames_;
  std::vector<xml_node> notes_;
};

}  // namespace

ParsedPackage parseDocx(std::string_view zipBytes);

ParsedPackage parseOdt(std::string_view zipBytes) {
  ZipReader zip(zipBytes);
  ParsedPackage package;
  package.format = DocumentFormat::Odt;
  if (!zip.has("content.xml")) {
    throw DocumentError(ErrorKind::DamagedPackage, "the package has no content.xml");
  }
  package.parts.push_back({"content.xml", parseXml(zip.read("content.xml"), "content.xml")});
  readOdtText(package);
  return package;
}

void readOdtText(ParsedPackage& package) {
  const xml_node text =
      package.parts[0].xml->document_element().child("office:body").child("office:text");
  OdtReader(package).body(text);
}

ParsedPackage parsePackage(DocumentFormat format, std::string_view zipBytes) {
  return format == DocumentFormat::Docx ? parseDocx(zipBytes) : parseOdt(zipBytes);
}

}  // namespace torvane::documents
