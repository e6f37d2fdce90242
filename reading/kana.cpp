#include "reading/kana.h"

#include "sjis/codec.h"

namespace torvane::reading {

Utf8Char utf8CharAt(std::string_view utf8, std::size_t offset) {
  const auto lead = static_cast<unsigned char>(utf8[offset]);
  const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  if (offset + length > utf8.size()) return {lead, 1};
  char32_t value = length == 1 ? lead : lead & (0x3F >> (length - 1));
  for (std::size_t i = 1; i < length; ++i) {
    value = value << 6 | (static_cast<unsigned char>(utf8[offset + i]) & 0x3F);
  }
  return {value, length};
}

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

// Moves the kana letters of one script [first, last] by `shift` code points.
std::string shiftKana(std::string_view utf8, char32_t first, char32_t last, int shift) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const Utf8Char c = utf8CharAt(utf8, i);
    if (c.value >= first && c.value <= last) {
      sjis::appendUtf8(out, static_cast<char32_t>(static_cast<int>(c.value) + shift));
    } else {
      out.append(utf8.substr(i, c.length));
    }
    i += c.length;
  }
  return out;
}

}  // namespace

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
