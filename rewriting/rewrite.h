// Writing a checked text back out with its proposed words in kana or with ruby.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "reading/proposals.h"
#include "rewriting/rtf.h"

namespace torvane::reading {

// What becomes of one proposed word. A word whose reading is empty stays as it is in any mode.
enum class Mode {
  Kana,  // the reading in place of the word
  Ruby,  // the word with its reading above
  Keep,  // the word as it stands
};

enum class Format {
  Text,  // UTF-8 text, LF line ends; ruby in Aozora notation, ｜base《reading》
  Html,  // a whole HTML document: every line a paragraph, ruby as <ruby>, red and grey inline
  Rtf,   // a whole RTF document in `font`: ruby as EQ fields, red and grey from a colour table
};

// Ruby split off the kana that a word and its reading share at either end:
// 書け/かけ gives base 書, ruby か, after け; お姉さん/おねえさん gives before お, base 姉,
// ruby ねえ, after さん. Only the same character matches: katakana keeps its hiragana ruby.
// Base and ruby are never left empty.
struct RubyParts {
  std::string before;
  std::string base;
  std::string ruby;
  std::string after;
  bool operator==(const RubyParts&) const = default;
};
RubyParts trimRuby(std::string_view word, std::string_view reading);

// The source text with every proposal written in its mode (modes[i] for proposals[i]; the
// proposals as the caller has them, readings edited or not). Line breaks of any kind become LF.
// Html and Rtf colour the characters that were not rewritten by text.spans.
std::string rewrite(const CheckedText& text, std::span<const Proposal> proposals,
                    std::span<const Mode> modes, Format format, const rtf::Font& font = {});

}  // namespace torvane::reading
