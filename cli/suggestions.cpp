#include "cli/suggestions.h"

#include <string>

namespace torvane::cli {
namespace {

// The word as the JSON output writes every string: decoded character by character from the
// checked bytes, so a character the source map joined to its neighbour does not show.
std::string wordAt(const sjis::SjisText& text, const reading::Proposal& p) {
  sjis::SjisText word;
  word.bytes = text.bytes.substr(p.offset, p.length);
  for (const sjis::ForeignChar& f : text.foreign) {
    if (f.offset >= p.offset && f.offset < p.offset + p.length) {
      word.foreign.push_back({f.offset - p.offset, f.character});
    }
  }
  return sjis::toUtf8(word);
}

}  // namespace

void writeJsonSuggestions(OutputStream& out, std::span<const reading::Proposal> proposals,
                          const sjis::SjisText& text) {
  std::string& b = out.buffer();
  b += ",\n  \"suggestions\": [";
  for (std::size_t i = 0; i < proposals.size(); ++i) {
    const reading::Proposal& p = proposals[i];
    b += i == 0 ? "\n    {\"offset\": " : ",\n    {\"offset\": ";
    b += std::to_string(p.offset);
    b += ", \"length\": ";
    b += std::to_string(p.length);
    b += ", \"word\": ";
    appendJsonString(b, wordAt(text, p));
    b += ", \"reading\": ";
    appendJsonString(b, p.reading);
    b += ", \"problems\": ";
    appendCharArray(out, p.problems);
    b += "}";
    out.flushIfFull();
  }
  b += proposals.empty() ? "]" : "\n  ]";
}

}  // namespace torvane::cli
