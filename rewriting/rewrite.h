// Writing a checked text back out with its proposed words in kana or with ruby.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include <vector>

#include "checker/colours.h"
#include "reading/proposals.h"

namespace torvane::reading {

// What becomes of one proposed word, piece by piece: the characters outside its ruby pieces stay
// as written. A word whose reading is empty stays as it is in any mode.
enum class Mode {
  Kana,          // each piece's reading in place of the piece
  Ruby,          // each piece with its reading above
  RubyUnlearnt,  // ruby only on the pieces that hold a red kanji; a learnt kanji stays bare
  Keep,          // the word as it stands
};

enum class Format {
  Text,  // UTF-8 text, LF line ends; ruby in Aozora notation, ｜base《reading》
  Html,  // a whole HTML document: every line a paragraph, ruby as <ruby>, red and grey kept
};

// The pieces of `p` that its mode rewrites, in order; empty for Keep or an empty reading.
// `colours` are the check's, by byte of the checked text (checker::coloursByByte).
std::vector<RubyPiece> piecesToWrite(const Proposal& p, Mode mode,
                                     std::span<const checker::TextColor> colours,
                                     const sjis::SjisText& text);

// The source text with every proposal written in its mode (modes[i] for proposals[i]; the
// proposals as the caller has them, readings edited or not). Line breaks of any kind become LF.
// Html colours the characters that were not rewritten by text.spans.
std::string rewrite(const CheckedText& text, std::span<const Proposal> proposals,
                    std::span<const Mode> modes, Format format);

}  // namespace torvane::reading
