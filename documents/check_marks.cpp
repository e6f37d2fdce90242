#include "documents/check_marks.h"

#include <vector>

#include "checker/colours.h"

namespace torvane::documents {

Marks marksFor(const reading::CheckedText& checked, std::span<const reading::Proposal> proposals,
               std::span<const reading::Mode> modes, ColourScope scope) {
  reading::requireSourceMap(checked);
  const std::vector<std::uint32_t>& sourceOf = checked.converted.sourceOf;
  const std::size_t size = checked.converted.text.size();
  Marks marks;

  const std::vector<checker::TextColor> colours = reading::coloursByByte(checked.spans, size);
  // By byte of the checked text: 0 outside every word, 1 in a word, 2 rewritten.
  std::vector<std::uint8_t> inWord(scope == ColourScope::None ? 0 : size, 0);
  for (std::size_t i = 0; i < proposals.size(); ++i) {
    const reading::Proposal& p = proposals[i];
    const reading::Mode mode = i < modes.size() ? modes[i] : reading::Mode::Keep;
    if (p.offset + p.length > size) continue;
    const std::vector<reading::RubyPiece> pieces =
        reading::piecesToWrite(p, mode, colours, checked.converted.text);
    if (pieces.empty()) continue;
    WordRewrite word{sourceOf[p.offset],
                     sourceOf[p.offset + p.length],
                     {},
                     mode == reading::Mode::Kana ? WordStyle::Kana : WordStyle::Ruby};
    for (const reading::RubyPiece& piece : pieces) {
      word.pieces.push_back(
          {sourceOf[piece.offset], sourceOf[piece.offset + piece.length], piece.reading});
    }
    marks.words.push_back(std::move(word));
    if (inWord.empty()) continue;
    for (std::size_t b = p.offset; b < p.offset + p.length; ++b) inWord[b] = 1;
    for (const reading::RubyPiece& piece : pieces) {
      for (std::size_t b = piece.offset; b < piece.offset + piece.length; ++b) inWord[b] = 2;
    }
  }
  if (scope == ColourScope::None) return marks;

  for (std::size_t b = 0; b < size;) {
    const checker::TextColor colour = colours[b];
    const bool wanted = colour != checker::TextColor::Black &&
                        (scope == ColourScope::Outside ? inWord[b] != 2 : inWord[b] == 1);
    std::size_t e = b + 1;
    if (wanted) {
      while (e < size && colours[e] == colour &&
             (scope == ColourScope::Outside ? inWord[e] != 2 : inWord[e] == 1))
        ++e;
      const std::size_t from = sourceOf[b];
      const std::size_t to = sourceOf[e];
      if (from < to) {
        marks.colours.push_back(
            {from, to, colour == checker::TextColor::Red ? MarkColour::Red : MarkColour::Grey});
      }
    }
    b = e;
  }
  return marks;
}

}  // namespace torvane::documents
