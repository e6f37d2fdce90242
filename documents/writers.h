// Writing documents: new ones from a text, an opened one back with only its marked words
// changed, and saving any of them safely.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "documents/document.h"
#include "documents/marks.h"

namespace torvane::documents {

// The fonts that new documents name for Japanese text, as the window shows it.
inline constexpr std::string_view kJapaneseFont = "IPAゴシック";

// A new .docx or .odt of `text` (UTF-8; CR LF, LF or CR end a paragraph): ruby as w:ruby or
// text:ruby, kana in place, colours as run colours, a Japanese East Asian font.
std::string writeNewDocx(std::string_view text, const Marks& marks);
std::string writeNewOdt(std::string_view text, const Marks& marks);

// Text with every word in kana or as ｜base《reading》 (colours have no form in text), in
// `encoding` with `lineEnd` (CR LF in `text` becomes it) and a byte-order mark if asked.
// Throws DocumentError (UndecodableText) when a character has no form in the encoding.
std::string writeText(std::string_view text, const Marks& marks,
                      TextEncoding encoding = TextEncoding::Utf8, LineEnd lineEnd = LineEnd::Lf,
                      bool byteOrderMark = false);
// The same for an opened text file, in its own encoding, line ends and byte-order mark.
std::string writeText(const OpenedDocument& document, const Marks& marks);

struct RoundTrip {
  std::string bytes;
  // Words that cross a hyperlink, a field, a tracked change, a content control or a paragraph,
  // or touch existing ruby: written as they were.
  std::size_t wordsLeftAlone = 0;
};

// The opened document (a .docx or an .odt) again, with only the marked words and colours
// changed; runs are split only where a mark begins or ends, and every part without a mark is
// copied as it was, byte for byte. Throws std::invalid_argument for a text file.
RoundTrip writeRoundTrip(const OpenedDocument& document, const Marks& marks);

// Writes `bytes` to a temporary file in `path`'s folder and renames it over `path`: the old file
// stays whole, and no partial file is left, when anything fails. Throws DocumentError (DiskFull,
// NoPermission, WriteFailed) with the path and the reason.
void saveAtomically(const std::string& path, std::string_view bytes);

}  // namespace torvane::documents
