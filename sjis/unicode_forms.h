// The Shift_JIS form of every Unicode character as SjisEncoder writes it with line breaks as
// CR LF, looked up rather than written, so that a check can walk Unicode text as it stands and
// still count and divide its bytes exactly as in the converted text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <variant>
#include <vector>

#include "sjis/codec.h"
#include "sjis/sjis_text.h"

namespace torvane::sjis {

enum class FormKind : std::uint8_t {
  Code,         // the code page's code, or the ASCII space for a space separator: 1 or 2 bytes
  Joins,        // no bytes: the character goes with its neighbour
  Placeholder,  // a placeholder pair standing for placeholderFor(character)
  LineBreak,    // CR LF; a CR and the LF right after it give one CR LF between them
};

// One character's form: its kind, its code (a byte, lead << 8 | trail, or the placeholder pair)
// and its length in bytes, in four bytes so that the table of the whole plane stays small.
class CharForm {
 public:
  constexpr CharForm() = default;
  constexpr CharForm(FormKind kind, std::uint16_t code, std::uint8_t length)
      : bits_(static_cast<std::uint32_t>(kind) << 24 | static_cast<std::uint32_t>(length) << 16 |
              code) {}

  constexpr FormKind kind() const { return static_cast<FormKind>(bits_ >> 24); }
  constexpr std::uint16_t code() const { return static_cast<std::uint16_t>(bits_); }
  constexpr std::uint8_t length() const { return static_cast<std::uint8_t>(bits_ >> 16 & 0xFF); }
  constexpr bool operator==(const CharForm&) const = default;

 private:
  std::uint32_t bits_ = 0;
};

class UnicodeForms {
 public:
  static const UnicodeForms& get();

  CharForm of(char32_t character) const {
    return character < 0x10000 ? bmp_[character] : beyondBmp(character);
  }
  // The code page has no code beyond the Basic Multilingual Plane, and no line break is there.
  static CharForm beyondBmp(char32_t character);
  // Whether every ASCII character but CR and LF is one byte, its own: runs of them can be
  // counted without a lookup.
  bool asciiIsOneByteEach() const { return asciiIsOneByteEach_; }

 private:
  UnicodeForms();
  std::vector<CharForm> bmp_;
  bool asciiIsOneByteEach_ = false;
};

// A Unicode text whose Shift_JIS form has been measured without writing it: the check needs the
// length before its first step (the reset of the colours covers the whole text). Only the measure
// functions make one, so holding one means a UTF-8 text has been found well-formed.
template <class Unit>
class MeasuredText {
 public:
  std::basic_string_view<Unit> units() const { return units_; }
  // The bytes SjisEncoder(LineBreaks::ToCrLf) writes for the text.
  std::size_t sjisSize() const { return sjisSize_; }
  // Where the first character that has bytes begins, in units; the text's size when none has.
  std::size_t firstWithBytes() const { return firstWithBytes_; }

 private:
  MeasuredText(std::basic_string_view<Unit> units, std::size_t sjisSize, std::size_t first)
      : units_(units), sjisSize_(sjisSize), firstWithBytes_(first) {}
  friend struct Measure;

  std::basic_string_view<Unit> units_;
  std::size_t sjisSize_ = 0;
  std::size_t firstWithBytes_ = 0;
};

using MeasuredUtf8 = MeasuredText<char>;
using MeasuredUtf16 = MeasuredText<char16_t>;

struct InvalidUtf8 {
  std::size_t offset = 0;  // of the first ill-formed sequence, as SjisEncoder::appendUtf8 gives it
  bool operator==(const InvalidUtf8&) const = default;
};

// Checks that the text is well-formed UTF-8 and measures it. The text must outlive the result.
std::variant<MeasuredUtf8, InvalidUtf8> measureUtf8(std::string_view utf8);

// UTF-16 as QString::utf16() gives it: a lone surrogate stands as U+FFFD, as in encodeUtf16.
MeasuredUtf16 measureUtf16(std::u16string_view utf16);

// The next character of a measured text, from unit `i` on; advances `i` past it. UTF-8 is read
// without checks, since measuring found it well-formed. A lone surrogate of UTF-16 comes as
// itself; its form is the placeholder of U+FFFD.
inline char32_t nextCharacter(const char* text, std::size_t /*size*/, std::size_t& i) {
  const auto* s = reinterpret_cast<const std::uint8_t*>(text);
  const std::uint32_t b = s[i];
  if (b < 0x80) {
    i += 1;
    return b;
  }
  if (b < 0xE0) {
    const char32_t c = (b & 0x1F) << 6 | (s[i + 1] & 0x3F);
    i += 2;
    return c;
  }
  if (b < 0xF0) {
    const char32_t c = (b & 0x0F) << 12 | (s[i + 1] & 0x3F) << 6 | (s[i + 2] & 0x3F);
    i += 3;
    return c;
  }
  const char32_t c =
      (b & 0x07) << 18 | (s[i + 1] & 0x3F) << 12 | (s[i + 2] & 0x3F) << 6 | (s[i + 3] & 0x3F);
  i += 4;
  return c;
}

inline char32_t nextCharacter(const char16_t* text, std::size_t size, std::size_t& i) {
  const char32_t u = text[i++];
  if (u >= 0xD800 && u <= 0xDBFF && i < size && text[i] >= 0xDC00 && text[i] <= 0xDFFF) {
    return 0x10000 + ((u - 0xD800) << 10) + (text[i++] - 0xDC00);
  }
  return u;
}

}  // namespace torvane::sjis
