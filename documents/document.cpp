#include "documents/document.h"

#include <algorithm>

#include "documents/package.h"
#include "documents/text_file.h"
#include "documents/zip_package.h"

namespace torvane::documents {
namespace {

constexpr std::string_view kZipMagic = "PK\x03\x04";
constexpr std::string_view kEmptyZipMagic = "PK\x05\x06";
constexpr std::string_view kCompoundFileMagic = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr std::string_view kOdtMimetype = "application/vnd.oasis.opendocument.text";

// A stream name in a compound file's directory, which holds names as UTF-16LE.
bool hasStream(std::string_view bytes, std::string_view name) {
  std::string utf16;
  for (const char c : name) {
    utf16 += c;
    utf16 += '\0';
  }
  return bytes.find(utf16) != std::string_view::npos;
}

// Both a password-protected .docx and an old .doc are compound files: the one holds its
// encrypted package beside an EncryptionInfo stream, the other a WordDocument stream.
[[noreturn]] void refuseCompoundFile(std::string_view bytes) {
  if (hasStream(bytes, "EncryptionInfo") || hasStream(bytes, "EncryptedPackage")) {
    throw DocumentError(ErrorKind::Encrypted,
                        "the document is protected by a password; save it without one first");
  }
  if (hasStream(bytes, "WordDocument")) {
    throw DocumentError(ErrorKind::LegacyWord,
                        "the document is in the old Word format (.doc); save it as .docx first");
  }
  throw DocumentError(ErrorKind::UnknownFormat,
                      "the file is an OLE compound file, not a text, .docx or .odt");
}

DocumentFormat packageFormat(std::string_view bytes) {
  const ZipReader zip(bytes);
  if (zip.has("word/document.xml")) return DocumentFormat::Docx;
  if (zip.has("mimetype")) {
    std::string mimetype = zip.read("mimetype");
    while (!mimetype.empty() && (mimetype.back() == '\n' || mimetype.back() == '\r'))
      mimetype.pop_back();
    if (mimetype == kOdtMimetype) return DocumentFormat::Odt;
  }
  throw DocumentError(ErrorKind::UnknownFormat,
                      "the file is a ZIP package but neither a .docx nor an .odt");
}

}  // namespace

std::string_view formatName(DocumentFormat format) {
  switch (format) {
    case DocumentFormat::Text: return "text";
    case DocumentFormat::Docx: return "docx";
    case DocumentFormat::Odt: return "odt";
  }
  return "text";
}

std::string_view encodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8: return "utf-8";
    case TextEncoding::Utf16Le: return "utf-16le";
    case TextEncoding::Utf16Be: return "utf-16be";
    case TextEncoding::Cp932: return "cp932";
    case TextEncoding::EucJp: return "euc-jp";
    case TextEncoding::Iso2022Jp: return "iso-2022-jp";
  }
  return "utf-8";
}

bool looksLikePackage(std::string_view bytes) {
  return bytes.starts_with(kZipMagic) || bytes.starts_with(kEmptyZipMagic) ||
         bytes.starts_with(kCompoundFileMagic);
}

OpenedDocument openDocument(std::string bytes, EncodingChoice encoding) {
  if (bytes.starts_with(kCompoundFileMagic)) refuseCompoundFile(bytes);
  if (!bytes.starts_with(kZipMagic) && !bytes.starts_with(kEmptyZipMagic)) {
    return openTextFile(bytes, encoding);
  }
  OpenedDocument document;
  document.format = packageFormat(bytes);
  ParsedPackage parsed = parsePackage(document.format, bytes);
  document.text = std::move(parsed.text);
  document.package = std::make_shared<const Package>(document.format, std::move(bytes));
  return document;
}

}  // namespace torvane::documents
