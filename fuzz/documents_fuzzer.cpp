// The readers on any bytes: a text file, a package or neither. Whatever they open must also
// take a round trip with a mark on every character pair, and read back as the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "documents/document.h"
#include "documents/writers.h"

using namespace torvane::documents;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  OpenedDocument document;
  try {
    document = openDocument(std::string(reinterpret_cast<const char*>(data), size));
  } catch (const DocumentError&) {
    return 0;  // refused with a reason: what a reader should do with bad bytes
  }
  if (!document.package) return 0;
  Marks marks;
  const std::string& text = document.text;
  for (std::size_t at = 0; at + 1 < text.size(); at += 7) {
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
    std::size_t end = at + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    if (end > text.size()) break;
    marks.words.push_back({at, end, {{at, end, "よみ"}}, WordStyle::Ruby});
    marks.colours.push_back({at, end, MarkColour::Red});
  }
  try {
    const RoundTrip trip = writeRoundTrip(document, marks);
    if (openDocument(trip.bytes).text != text) std::abort();  // ruby is no text of the check
  } catch (const DocumentError&) {
  }
  return 0;
}
