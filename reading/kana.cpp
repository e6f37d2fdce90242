#include "reading/kana.h"

namespace torvane::reading {

std::u32string codePoints(std::string_view utf8) {
  std::u32string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const Utf8Char c = utf8CharAt(utf8, i);
    out.push_back(c.value);
    i += c.length;
  }
  return out;
}

char32_t kanaAsHiragana(char32_t c) {
  if (c >= U'\u3041' && c <= U'\u3096') return c;
  if (c >= U'\u30A1' && c <= U'\u30F6') return c - 0x60;
  if (c == U'\u309D' || c == U'\u309E' || c == U'\u30FC') return c;
  if (c == U'\u30FD' || c == U'\u30FE') return c - 0x60;  // ヽヾ as ゝゞ
  return 0;
}

bool isKanji(char32_t c) {
  return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF) || c == U'々' ||
         c == U'〆' || c == U'〇';
}

namespace {

// Moves the kana letters of one script [first, last] by `shift` code points. Every letter of
// either script is three bytes and stays three bytes, so the text is copied once and its letters
// patched in place: readings are converted for every morpheme of a text. (A letter spelt in
// more bytes is no valid UTF-8 and stays as it is.)
std::string shiftKana(std::string_view utf8, char32_t first, char32_t last, int shift) {
  std::string out(utf8);
  for (std::size_t i = 0; i < out.size();) {
    const Utf8Char c = utf8CharAt(out, i);
    if (c.value >= first && c.value <= last && c.length == 3) {
      const auto shifted = static_cast<char32_t>(static_cast<int>(c.value) + shift);
      out[i] = static_cast<char>(0xE0 | shifted >> 12);
      out[i + 1] = static_cast<char>(0x80 | (shifted >> 6 & 0x3F));
      out[i + 2] = static_cast<char>(0x80 | (shifted & 0x3F));
    }
    i += c.length;
  }
  return out;
}

}  // namespace

std::string withFirstVoiced(std::string_view hiragana) {
  constexpr std::string_view kPlain = "かきくけこさしすせそたちつてとはひふへほ";
  constexpr std::string_view kVoiced = "がぎぐげござじずぜぞだぢづでどばびぶべぼ";
  const std::size_t at = hiragana.size() >= 3 ? kPlain.find(hiragana.substr(0, 3))
                                              : std::string_view::npos;
  if (at == std::string_view::npos || at % 3 != 0) return std::string(hiragana);
  return std::string(kVoiced.substr(at, 3)) + std::string(hiragana.substr(3));
}

std::string toHiragana(std::string_view utf8) {
  return shiftKana(utf8, U'\u30A1', U'\u30F6', -0x60);
}

std::string toKatakana(std::string_view utf8) {
  return shiftKana(utf8, U'\u3041', U'\u3096', 0x60);
}

bool isAllKana(std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size();) {
    const Utf8Char c = utf8CharAt(utf8, i);
    if (kanaAsHiragana(c.value) == 0) return false;
    i += c.length;
  }
  return !utf8.empty();
}

}  // namespace torvane::reading
