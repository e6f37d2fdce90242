// Inside an opened document: its package, its parsed parts and the map from every byte of the
// text back to the XML it came from. Only the readers and the writers see this.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "documents/document.h"

namespace torvane::documents {

// A stretch of the text and where it came from.
struct Segment {
  std::size_t begin = 0;  // in the text
  std::uint32_t length = 0;
  std::uint32_t part = 0;  // index into ParsedPackage::parts
  // Editable text: the w:t element (.docx) or the text node (.odt) holding it, at nodeOffset.
  // Otherwise what made the text: a paragraph's end, a tab, a break, spaces.
  pugi::xml_node node;
  std::uint32_t nodeOffset = 0;
  // The complex field result or tracked insertion the text lies in (0: none); a mark may not
  // reach across two of them.
  std::uint32_t zone = 0;
  bool editable = false;
  bool inRuby = false;  // the base of ruby the document already has
  std::size_t end() const { return begin + length; }
};

struct XmlPart {
  std::string name;
  std::unique_ptr<pugi::xml_document> xml;
};

// A package read for its text; the writers change its trees and write the changed parts.
struct ParsedPackage {
  DocumentFormat format = DocumentFormat::Docx;
  std::vector<XmlPart> parts;
  std::string text;
  std::vector<Segment> segments;  // in text order, covering it without gaps
};

// Reads the package's parts and their text. Throws DocumentError.
ParsedPackage parsePackage(DocumentFormat format, std::string_view zipBytes);
// The text and segments of parts already parsed (document.xml first, or content.xml).
void readDocxText(ParsedPackage& package);
void readOdtText(ParsedPackage& package);

// Puts the marks into the parts' trees: which parts changed, and how many words were left alone.
struct AppliedMarks {
  std::vector<bool> changed;  // by part
  std::size_t wordsLeftAlone = 0;
};
struct Marks;
AppliedMarks applyMarks(ParsedPackage& package, const Marks& marks);

class Package {
 public:
  Package(DocumentFormat format, std::string zipBytes)
      : format_(format), zipBytes_(std::move(zipBytes)) {}
  DocumentFormat format() const { return format_; }
  const std::string& zipBytes() const { return zipBytes_; }

 private:
  DocumentFormat format_;
  std::string zipBytes_;  // the package as it was opened
};

// Builds the text and the segments as a reader walks the XML.
class TextBuilder {
 public:
  explicit TextBuilder(ParsedPackage& package) : package_(package) {}
  void setPart(std::uint32_t part) { part_ = part; }
  void setZone(std::uint32_t zone) { zone_ = zone; }
  std::uint32_t zone() const { return zone_; }
  void setInRuby(bool inRuby) { inRuby_ = inRuby; }
  bool inRuby() const { return inRuby_; }
  std::uint32_t newZone() { return ++lastZone_; }

  void text(pugi::xml_node node, std::string_view value) {
    if (value.empty()) return;
    add(node, value, true);
  }
  void made(pugi::xml_node node, std::string_view value) { add(node, value, false); }

 private:
  void add(pugi::xml_node node, std::string_view value, bool editable) {
    Segment segment;
    segment.begin = package_.text.size();
    segment.length = static_cast<std::uint32_t>(value.size());
    segment.part = part_;
    segment.node = node;
    segment.zone = zone_;
    segment.editable = editable;
    segment.inRuby = inRuby_;
    package_.text += value;
    package_.segments.push_back(segment);
  }

  ParsedPackage& package_;
  std::uint32_t part_ = 0;
  std::uint32_t zone_ = 0;
  std::uint32_t lastZone_ = 0;
  bool inRuby_ = false;
};

}  // namespace torvane::documents
