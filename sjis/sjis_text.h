// The Shift_JIS text type: code page 932 bytes, plus the characters outside code page 932 that
// stand in the text as placeholder pairs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sjis/byte_type.h"

namespace torvane::sjis {

// A character the code page cannot express is held as this two-byte pair. 0x7F is never a trail
// byte of code page 932, so the pair cannot come from a conversion and stands in no class.
inline constexpr std::uint8_t kPlaceholderLead = 0x81;
inline constexpr std::uint8_t kPlaceholderTrail = 0x7F;
inline constexpr std::uint16_t kPlaceholderCode = kPlaceholderLead << 8 | kPlaceholderTrail;

// One character of a Shift_JIS text: one byte, or a lead byte and a trail byte, or a character
// from outside the code page standing as a placeholder pair. Four bytes, so that the result lists
// of a long text stay small.
class SjisChar {
 public:
  constexpr SjisChar() = default;
  static constexpr SjisChar single(std::uint8_t byte) { return SjisChar(byte); }
  static constexpr SjisChar pair(std::uint8_t lead, std::uint8_t trail) {
    return SjisChar(kPair | static_cast<std::uint32_t>(lead) << 8 | trail);
  }
  static constexpr SjisChar outsideCodePage(char32_t character) {
    return SjisChar(kForeign | (character & kCodePointMask));
  }

  // The byte, or lead << 8 | trail.
  constexpr std::uint16_t code() const {
    return (bits_ & kForeign) != 0 ? kPlaceholderCode : static_cast<std::uint16_t>(bits_);
  }
  constexpr std::uint8_t length() const { return (bits_ & (kPair | kForeign)) != 0 ? 2 : 1; }
  // For a placeholder pair: the character it stands for; otherwise 0.
  constexpr char32_t foreign() const {
    return (bits_ & kForeign) != 0 ? static_cast<char32_t>(bits_ & kCodePointMask) : 0;
  }
  constexpr bool operator==(const SjisChar&) const = default;

 private:
  static constexpr std::uint32_t kForeign = 1u << 31;
  static constexpr std::uint32_t kPair = 1u << 30;
  static constexpr std::uint32_t kCodePointMask = 0x1FFFFF;
  constexpr explicit SjisChar(std::uint32_t bits) : bits_(bits) {}
  std::uint32_t bits_ = 0;
};

// A character outside the code page, at the offset of its placeholder pair.
struct ForeignChar {
  std::size_t offset = 0;
  char32_t character = 0;
  constexpr bool operator==(const ForeignChar&) const = default;
};

struct SjisText {
  std::string bytes;
  std::vector<ForeignChar> foreign;  // ascending offsets, each at a placeholder pair

  std::size_t size() const { return bytes.size(); }
  bool empty() const { return bytes.empty(); }
  void append(const SjisChar& c);
  void append(const SjisText& text);
  bool operator==(const SjisText&) const = default;
};

// The bytes [offset, offset + length) of a text with the characters from outside the code page
// among them, found by a binary search: a slice costs its own length, not the whole text's.
SjisText slice(const SjisText& text, std::size_t offset, std::size_t length);

// The character a placeholder pair at `offset` stands for, or 0 when it stands for none.
char32_t foreignAt(const SjisText& text, std::size_t offset, std::size_t& foreignCursor);

// A text of code page 932 bytes as they stand, with no characters from outside it.
inline SjisText rawSjis(std::string_view bytes) {
  return SjisText{std::string(bytes), {}};
}

// Reads the character that starts at a lead or single byte. A lead byte with no trail byte after
// it (at the end, or before a NUL, which is always a single byte) is an incomplete character of
// length 1. `foreignCursor` walks text.foreign forward; pass 0 and keep it for ascending offsets.
inline SjisChar charAt(const SjisText& text, std::size_t offset, std::size_t& foreignCursor) {
  const auto& bytes = text.bytes;
  const auto lead = static_cast<std::uint8_t>(bytes[offset]);
  if (!isLeadRange(lead) || offset + 1 >= bytes.size() || bytes[offset + 1] == '\0') {
    return SjisChar::single(lead);
  }
  const SjisChar c = SjisChar::pair(lead, static_cast<std::uint8_t>(bytes[offset + 1]));
  if (c.code() != kPlaceholderCode) return c;
  const char32_t foreign = foreignAt(text, offset, foreignCursor);
  return foreign != 0 ? SjisChar::outsideCodePage(foreign) : c;
}

}  // namespace torvane::sjis

namespace torvane::sjis {

// Calls visit(offset, c) for every character of the text, divided by the byte-type rule.
template <class Visit>
void forEachChar(const SjisText& text, Visit&& visit) {
  ByteTypeScanner scanner;
  std::size_t foreignCursor = 0;
  for (std::size_t i = 0; i < text.bytes.size(); ++i) {
    if (scanner.next(static_cast<std::uint8_t>(text.bytes[i])) == ByteType::Trail) continue;
    visit(i, charAt(text, i, foreignCursor));
  }
}

}  // namespace torvane::sjis
