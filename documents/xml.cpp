#include "documents/xml.h"

#include "documents/document.h"

namespace torvane::documents {
namespace {

// Whitespace-only text is kept (a w:t holding one space is text), the declaration and the
// DOCTYPE are kept so the one is written back and the other can be refused.
constexpr unsigned kParseOptions =
    pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_declaration | pugi::parse_doctype;

struct StringWriter : pugi::xml_writer {
  std::string out;
  void write(const void* data, std::size_t size) override {
    out.append(static_cast<const char*>(data), size);
  }
};

}  // namespace

std::unique_ptr<pugi::xml_document> parseXml(std::string_view bytes, std::string_view part) {
  auto document = std::make_unique<pugi::xml_document>();
  const pugi::xml_parse_result parsed =
      document->load_buffer(bytes.data(), bytes.size(), kParseOptions, pugi::encoding_utf8);
  if (!parsed) {
    throw DocumentError(ErrorKind::DamagedPackage, "the document part " + std::string(part) +
                                                       " is not well-formed XML (" +
                                                       parsed.description() + " at byte " +
                                                       std::to_string(parsed.offset) + ")");
  }
  // pugixml expands no entity of its own, but a DTD is refused outright: nothing declared in
  // one is ever trusted, fetched or half understood.
  for (pugi::xml_node node = document->first_child(); node; node = node.next_sibling()) {
    if (node.type() == pugi::node_doctype) {
      throw DocumentError(ErrorKind::UnsafeXml, "the document part " + std::string(part) +
                                                    " declares a DTD, which is refused");
    }
  }
  return document;
}

std::string serializeXml(const pugi::xml_document& document) {
  StringWriter writer;
  writer.out.reserve(1 << 16);
  document.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
  return std::move(writer.out);
}

}  // namespace torvane::documents
