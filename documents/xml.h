// The XML of a package's parts, through pugixml: parsed whole and refused when it declares a
// DTD, written back with everything it held.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace torvane::documents {

// Throws DocumentError (UnsafeXml for a DOCTYPE, DamagedPackage for XML that does not parse).
// `part` names the entry in the message.
std::unique_ptr<pugi::xml_document> parseXml(std::string_view bytes, std::string_view part);

// The document as UTF-8 bytes, its declaration as it was.
std::string serializeXml(const pugi::xml_document& document);

}  // namespace torvane::documents
