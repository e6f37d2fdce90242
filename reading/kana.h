// Kana helpers for readings: MeCab writes readings in katakana, Torvane shows them in hiragana.
#pragma once

#include <string>
#include <string_view>

namespace torvane::reading {

// Katakana letters (ァ to ヶ) become hiragana; everything else, ー included, stays.
std::string toHiragana(std::string_view utf8);
// Hiragana letters (ぁ to ゖ) become katakana, as the IPA dictionary writes readings.
std::string toKatakana(std::string_view utf8);

// Whether every character is hiragana, katakana or the prolonged sound mark.
bool isAllKana(std::string_view utf8);

// A hiragana reading with its first kana voiced, as the later part of a compound takes it
// (rendaku: か to が, は to ば); the reading as it is when that kana has no voiced form.
std::string withFirstVoiced(std::string_view hiragana);

// The hiragana form of one character, or 0 when it is no kana.
char32_t kanaAsHiragana(char32_t c);

// Kanji (CJK ideographs, their extensions and compatibility forms, 々 and 〆).
bool isKanji(char32_t c);

// One UTF-8 character at `offset` (the text is valid UTF-8): the character and its length.
struct Utf8Char {
  char32_t value = 0;
  std::size_t length = 0;
};
// Inline: every walk over a text or a word calls it for each character.
inline Utf8Char utf8CharAt(std::string_view utf8, std::size_t offset) {
  const auto lead = static_cast<unsigned char>(utf8[offset]);
  const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  if (offset + length > utf8.size()) return {lead, 1};
  char32_t value = length == 1 ? lead : lead & (0x3F >> (length - 1));
  for (std::size_t i = 1; i < length; ++i) {
    value = value << 6 | (static_cast<unsigned char>(utf8[offset + i]) & 0x3F);
  }
  return {value, length};
}
// The characters of valid UTF-8 text, one code point each.
std::u32string codePoints(std::string_view utf8);

}  // namespace torvane::reading
