#include "sjis/unicode_forms.h"

#include <unicode/utf8.h>

#include <cstring>

namespace torvane::sjis {
namespace {

CharForm formWithoutCode(char32_t character) {
  switch (withoutCode(character)) {
    case WithoutCode::Space: return {FormKind::Code, ' ', 1};
    case WithoutCode::Joins: return {FormKind::Joins, 0, 0};
    case WithoutCode::Placeholder: break;
  }
  return {FormKind::Placeholder, kPlaceholderCode, 2};
}

bool breaksLine(char32_t c) {
  return c == U'\r' || c == U'\n' || c == 0x2028 || c == 0x2029;
}

// Eight bytes with no high bit and no CR or LF among them.
bool plainAsciiWord(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  constexpr std::uint64_t kHighs = 0x8080808080808080;
  const auto hasByte = [](std::uint64_t w, std::uint8_t byte) {
    const std::uint64_t x = w ^ (kOnes * byte);
    return ((x - kOnes) & ~x & kHighs) != 0;
  };
  return (word & kHighs) == 0 && !hasByte(word, '\r') && !hasByte(word, '\n');
}

// The first character that has bytes, skipping those that join their neighbour.
template <class Unit>
std::size_t firstWithBytes(std::basic_string_view<Unit> text, const UnicodeForms& forms) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t start = i;
    if (forms.of(nextCharacter(text.data(), text.size(), i)).kind() != FormKind::Joins) {
      return start;
    }
  }
  return text.size();
}

}  // namespace

UnicodeForms::UnicodeForms() : bmp_(0x10000) {
  const Cp932& codePage = Cp932::get();
  for (char32_t c = 0; c < 0x10000; ++c) {
    if (breaksLine(c)) {
      bmp_[c] = {FormKind::LineBreak, 0, 2};
    } else if (const auto code = codePage.encode(c)) {
      bmp_[c] = {FormKind::Code, code->code(), code->length()};
    } else {
      bmp_[c] = formWithoutCode(c);
    }
  }
  asciiIsOneByteEach_ = true;
  for (char32_t c = 0; c < 0x80; ++c) {
    if (breaksLine(c)) continue;
    asciiIsOneByteEach_ = asciiIsOneByteEach_ && bmp_[c] == CharForm(FormKind::Code, c, 1);
  }
}

const UnicodeForms& UnicodeForms::get() {
  static const UnicodeForms forms;
  return forms;
}

CharForm UnicodeForms::beyondBmp(char32_t character) {
  return formWithoutCode(character);
}

struct Measure {
  static MeasuredUtf8 utf8(std::string_view text, std::size_t size, std::size_t first) {
    return {text, size, first};
  }
  static MeasuredUtf16 utf16(std::u16string_view text, std::size_t size, std::size_t first) {
    return {text, size, first};
  }
};

std::variant<MeasuredUtf8, InvalidUtf8> measureUtf8(std::string_view utf8) {
  const UnicodeForms& forms = UnicodeForms::get();
  const auto* s = reinterpret_cast<const std::uint8_t*>(utf8.data());
  const auto n = static_cast<std::int64_t>(utf8.size());
  const bool countRuns = forms.asciiIsOneByteEach();
  std::size_t size = 0;
  for (std::int64_t i = 0; i < n;) {
    const std::uint8_t lead = s[i];
    if (lead < 0x80) {
      // Runs of ASCII are counted eight bytes at a time: no character there needs a lookup.
      if (countRuns && i + 8 <= n) {
        std::uint64_t word;
        std::memcpy(&word, s + i, sizeof word);
        if (plainAsciiWord(word)) {
          size += 8;
          i += 8;
          continue;
        }
      }
      ++i;
      if (lead == '\r' && i < n && s[i] == '\n') ++i;  // CR LF: one line break
      size += forms.of(lead).length();
      continue;
    }
    // Three bytes, most of Japanese text, are read here; anything else, or anything ill-formed,
    // by the decoder SjisEncoder::appendUtf8 uses, so that the offsets agree.
    if (lead >= 0xE0 && lead < 0xF0 && i + 2 < n) {
      const std::uint8_t t1 = s[i + 1], t2 = s[i + 2];
      const std::uint8_t low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
      if (t1 >= low && t1 <= high && (t2 & 0xC0) == 0x80) {
        size += forms.of((lead & 0x0F) << 12 | (t1 & 0x3F) << 6 | (t2 & 0x3F)).length();
        i += 3;
        continue;
      }
    }
    const std::int64_t start = i;
    UChar32 c;
    U8_NEXT(s, i, n, c);
    if (c < 0) return InvalidUtf8{static_cast<std::size_t>(start)};
    size += forms.of(static_cast<char32_t>(c)).length();
  }
  return Measure::utf8(utf8, size, firstWithBytes(utf8, forms));
}

MeasuredUtf16 measureUtf16(std::u16string_view utf16) {
  const UnicodeForms& forms = UnicodeForms::get();
  std::size_t size = 0;
  for (std::size_t i = 0; i < utf16.size();) {
    const char32_t c = nextCharacter(utf16.data(), utf16.size(), i);
    if (c == '\r' && i < utf16.size() && utf16[i] == '\n') ++i;
    size += forms.of(c).length();
  }
  return Measure::utf16(utf16, size, firstWithBytes(utf16, forms));
}

}  // namespace torvane::sjis
