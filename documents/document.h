// A document as the check sees it: a text file, a .docx or an .odt read into UTF-8 text whose
// paragraphs end with CR LF, with what a writer needs to save it back the way it came.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace torvane::documents {

enum class DocumentFormat { Text, Docx, Odt };

// A text file's encoding, by the names torvane-check prints.
enum class TextEncoding { Utf8, Utf16Le, Utf16Be, Cp932, EucJp, Iso2022Jp };

// What the user told about a text file's encoding; documents ignore it.
enum class EncodingChoice { Auto, Utf8, Cp932 };

enum class LineEnd { CrLf, Lf, Cr };

// "docx", "utf-16le", ... as torvane-check's JSON spells them.
std::string_view formatName(DocumentFormat format);
std::string_view encodingName(TextEncoding encoding);

// Why a document could not be read or saved; the window says each kind in its own words.
enum class ErrorKind {
  UnknownFormat,    // a ZIP package that is neither a .docx nor an .odt
  DamagedPackage,   // not a readable ZIP, or a part missing or broken
  Encrypted,        // a password-protected document
  LegacyWord,       // the old binary .doc format
  TooLarge,         // over the unpacked size or the compression ratio a document can have
  UnsafeXml,        // XML that declares a DTD or entities
  UndecodableText,  // a text file that no encoding decodes
  DiskFull,         // saving: no room left
  NoPermission,     // saving: the folder or the file may not be written
  WriteFailed,      // saving: any other failure
};

// `what()` is one line of English for the command line.
class DocumentError : public std::runtime_error {
 public:
  DocumentError(ErrorKind kind, const std::string& message,
                std::optional<std::size_t> offset = std::nullopt)
      : std::runtime_error(message), kind_(kind), offset_(offset) {}
  ErrorKind kind() const { return kind_; }
  // The byte offset in the input where decoding failed, for UndecodableText.
  std::optional<std::size_t> offset() const { return offset_; }

 private:
  ErrorKind kind_;
  std::optional<std::size_t> offset_;
};

// The parsed parts and the map from the text back into them; opaque to callers.
class Package;

struct OpenedDocument {
  DocumentFormat format = DocumentFormat::Text;
  // Text files only: how to write the text back the same way.
  TextEncoding encoding = TextEncoding::Utf8;
  LineEnd lineEnd = LineEnd::CrLf;  // the first line end of the file; CR LF when it has none
  bool byteOrderMark = false;
  // What the check sees: UTF-8, every paragraph (and every line break) ending with CR LF.
  std::string text;
  // Documents only: what the round trip writes from. Shared, so an opened document copies cheaply
  // to a worker; never changed after opening.
  std::shared_ptr<const Package> package;
};

// Reads a text file or a document; the kind is told by the content. Throws DocumentError.
OpenedDocument openDocument(std::string bytes, EncodingChoice encoding = EncodingChoice::Auto);

// Whether the bytes are a ZIP or an OLE compound file, i.e. no text file at all.
bool looksLikePackage(std::string_view bytes);

}  // namespace torvane::documents
