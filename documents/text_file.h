// Text files: their encoding found or taken as told, decoded into the check's UTF-8 with CR LF
// line ends, and encoded back the way they came.
#pragma once

#include <string>
#include <string_view>

#include "documents/document.h"

namespace torvane::documents {

// Throws DocumentError (UndecodableText) with the byte offset where decoding failed.
OpenedDocument openTextFile(std::string_view bytes, EncodingChoice choice);

// `utf8` with every CR LF, lone CR and LF as `lineEnd`, in `encoding`. Throws DocumentError
// (UndecodableText) naming the first character the encoding has no form for.
std::string encodeText(std::string_view utf8, TextEncoding encoding, LineEnd lineEnd,
                       bool byteOrderMark);

}  // namespace torvane::documents
