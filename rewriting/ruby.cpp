#include <vector>

#include "reading/kana.h"
#include "rewriting/rewrite.h"

namespace torvane::reading {
namespace {

// The characters of a UTF-8 text as byte ranges.
std::vector<std::string_view> characters(std::string_view utf8) {
  std::vector<std::string_view> chars;
  for (std::size_t i = 0; i < utf8.size();) {
    const Utf8Char c = utf8CharAt(utf8, i);
    chars.push_back(utf8.substr(i, c.length));
    i += c.length;
  }
  return chars;
}

bool isKana(std::string_view character) {
  return kanaAsHiragana(utf8CharAt(character, 0).value) != 0;
}

std::string join(const std::vector<std::string_view>& chars, std::size_t from, std::size_t to) {
  std::string out;
  for (std::size_t i = from; i < to; ++i) out += chars[i];
  return out;
}

}  // namespace

RubyParts trimRuby(std::string_view word, std::string_view reading) {
  const std::vector<std::string_view> w = characters(word);
  const std::vector<std::string_view> r = characters(reading);
  std::size_t wBegin = 0, wEnd = w.size(), rBegin = 0, rEnd = r.size();
  // Leading kana, then trailing kana, each while base and ruby keep a character.
  while (wEnd - wBegin > 1 && rEnd - rBegin > 1 && isKana(w[wBegin]) && w[wBegin] == r[rBegin]) {
    ++wBegin;
    ++rBegin;
  }
  while (wEnd - wBegin > 1 && rEnd - rBegin > 1 && isKana(w[wEnd - 1]) &&
         w[wEnd - 1] == r[rEnd - 1]) {
    --wEnd;
    --rEnd;
  }
  return RubyParts{join(w, 0, wBegin), join(w, wBegin, wEnd), join(r, rBegin, rEnd),
                   join(w, wEnd, w.size())};
}

}  // namespace torvane::reading
