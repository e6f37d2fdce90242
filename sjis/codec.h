// Conversion between Unicode and Shift_JIS (code page 932) through iconv's CP932.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sjis/line_break.h"
#include "sjis/sjis_text.h"

namespace torvane::sjis {

inline constexpr char32_t kReplacementChar = U'\uFFFD';

// Both directions of CP932, one character at a time. The tables are filled once by asking
// iconv about every character, so a conversion costs a lookup and agrees with iconv exactly.
class Cp932 {
 public:
  static const Cp932& get();

  // The code page form of a Unicode character, or nothing when the code page has none. Beyond
  // the Basic Multilingual Plane iconv has no code (a test asks it about every character).
  std::optional<SjisChar> encode(char32_t character) const {
    if (character >= 0x10000 || encodeCode_[character] == kNoCode) return std::nullopt;
    const std::uint16_t code = encodeCode_[character];
    return code < 0x100 ? SjisChar::single(static_cast<std::uint8_t>(code))
                        : SjisChar::pair(code >> 8, code & 0xFF);
  }
  // Whether every ASCII character is its own code (true for CP932), so runs of ASCII can be
  // copied as they stand.
  bool asciiIsItself() const { return asciiIsItself_; }

  // The Unicode form of a character: a placeholder gives the character it stands for, and a
  // character with no Unicode form (malformed pair, lone lead byte, unassigned code) U+FFFD.
  char32_t decode(const SjisChar& c) const {
    if (c.foreign() != 0) return c.foreign();
    return c.length() == 2 ? decodePair_[c.code()] : decodeSingle_[c.code() & 0xFF];
  }

 private:
  Cp932();
  void fillEncodeTable();

  // By BMP code point: a byte below 0x100, a pair from 0x8140 on, or kNoCode (0xFF is no lead).
  static constexpr std::uint16_t kNoCode = 0xFFFF;
  bool asciiIsItself_ = false;
  std::vector<std::uint16_t> encodeCode_;
  std::array<char32_t, 256> decodeSingle_{};
  std::vector<char32_t> decodePair_;  // by lead << 8 | trail
};

enum class LineBreaks {
  Keep,    // every character converted as it is
  ToCrLf,  // LF, CR LF, lone CR, U+2028 and U+2029 each become CR LF, as in the text box
};

// A converted text, with the way back to the source: the bytes [i, i + n) came from the source
// positions [sourceOf[i], sourceOf[i + n]). sourceOf has one entry per byte plus one for the end.
struct EncodedText {
  SjisText text;
  std::vector<std::uint32_t> sourceOf;
};

// Converts Unicode text character by character. A character the code page lacks is never lost:
// a space separator becomes the ASCII space, a variation selector, zero-width format character or
// tag character adds no bytes (it goes with its neighbour), and anything else becomes a
// placeholder pair. What is no Unicode character (a surrogate, a value past U+10FFFF) stands as
// U+FFFD, so every placeholder holds a character that has a UTF-8 form.
class SjisEncoder {
 public:
  explicit SjisEncoder(LineBreaks lineBreaks, bool keepSourceMap = false);
  // Room for this many bytes of Shift_JIS text (and their source positions), so a caller that
  // knows the size ahead does not pay for growth; without it the text grows as it is written.
  void reserve(std::size_t bytes);
  // `sourcePosition` is where the character stands in the caller's text (any ascending unit).
  [[gnu::always_inline]] void append(char32_t character, std::uint32_t sourcePosition) {
    // Most characters have a code and are no line break: one lookup, no call.
    if (!(isLineBreak(character) && lineBreaks_ == LineBreaks::ToCrLf)) {
      if (const auto c = codePage_.encode(character)) {
        afterCr_ = false;
        if (c->length() == 2) emit(static_cast<std::uint8_t>(c->code() >> 8), sourcePosition);
        emit(static_cast<std::uint8_t>(c->code() & 0xFF), sourcePosition);
        return;
      }
    }
    appendSlowly(character, sourcePosition);
  }
  // Decodes UTF-8 and converts it in one go; the byte offset of the first ill-formed sequence,
  // or nothing. Source positions are byte offsets into `utf8` plus `sourceBase`.
  std::optional<std::size_t> appendUtf8(std::string_view utf8, std::uint32_t sourceBase = 0);
  // Converts UTF-16 as the window's text box holds it. Source positions are UTF-16 units plus
  // `sourceBase`, so a surrogate pair takes two. A lone surrogate is one character, U+FFFD.
  void appendUtf16(std::u16string_view utf16, std::uint32_t sourceBase = 0);
  EncodedText finish(std::uint32_t sourceEnd) &&;

 private:
  void appendSlowly(char32_t character, std::uint32_t sourcePosition);
  [[gnu::always_inline]] void emit(std::uint8_t byte, std::uint32_t sourcePosition) {
    out_.text.bytes.push_back(static_cast<char>(byte));
    if (keepSourceMap_) out_.sourceOf.push_back(sourcePosition);
  }

  const Cp932& codePage_;
  LineBreaks lineBreaks_;
  bool keepSourceMap_;
  bool afterCr_ = false;
  EncodedText out_;
};

// Source positions are indexes into `text`.
EncodedText encode(std::u32string_view text, LineBreaks lineBreaks = LineBreaks::Keep,
                   bool keepSourceMap = false);

// The text of a text box as UTF-16 units (what QString::utf16() gives), with source positions
// in UTF-16 units, the units a text cursor counts. The window converts its upper box with
// LineBreaks::ToCrLf and the source map, which turns the document's paragraph separators
// (U+2029) and line separators (U+2028) into CR LF.
EncodedText encodeUtf16(std::u16string_view text, LineBreaks lineBreaks = LineBreaks::Keep,
                        bool keepSourceMap = false);

// A character the code page lacks that adds no bytes of its own.
bool joinsNeighbour(char32_t character);

// What SjisEncoder writes for a character that has no code of its own and is no line break.
enum class WithoutCode : std::uint8_t {
  Space,        // a space separator: the ASCII space
  Joins,        // nothing: it goes with its neighbour
  Placeholder,  // a placeholder pair
};
WithoutCode withoutCode(char32_t character);

// The character a placeholder pair stands for: what is no Unicode character (a surrogate, a value
// past U+10FFFF) stands as U+FFFD.
constexpr char32_t placeholderFor(char32_t character) {
  return character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF) ? kReplacementChar
                                                                              : character;
}

// Decoding character by character, by the byte-type rule.
std::u32string toUnicode(const SjisText& text);
std::string toUtf8(const SjisText& text);
std::string toUtf8(const SjisChar& c);
void appendUtf8(std::string& out, char32_t character);

}  // namespace torvane::sjis
