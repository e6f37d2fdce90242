// The byte-type rule that divides a Shift_JIS (code page 932) text into characters.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace torvane::sjis {

enum class ByteType : std::uint8_t { Single, Lead, Trail };

// Bytes that begin a two-byte character when they stand on a character boundary.
constexpr bool isLeadRange(std::uint8_t byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Tables with a row of 256 trail bytes per lead byte number the 60 lead bytes 0 to 59 in byte
// order; any other byte gets kLeadRowCount, which such a table can use for a row of its own.
inline constexpr std::size_t kLeadRowCount = 60;
inline constexpr std::array<std::uint8_t, 0x100> kLeadRows = [] {
  std::array<std::uint8_t, 0x100> rows{};
  std::uint8_t next = 0;
  for (std::size_t byte = 0; byte < rows.size(); ++byte) {
    rows[byte] = isLeadRange(static_cast<std::uint8_t>(byte)) ? next++ : kLeadRowCount;
  }
  return rows;
}();
static_assert(kLeadRows[0x80] == kLeadRowCount && kLeadRows[0x81] == 0 && kLeadRows[0x9F] == 30 &&
              kLeadRows[0xE0] == 31 && kLeadRows[0xFC] == kLeadRowCount - 1 &&
              kLeadRows[0xFD] == kLeadRowCount);

// The rule as stated: byte i is a trail byte when the run of lead-range bytes right before it
// has odd length; a NUL is always a single byte. Costs the length of that run, so it serves as
// the reference and for random access; a forward walk uses ByteTypeScanner.
ByteType byteTypeAt(std::string_view text, std::size_t index);

// Gives the byte type of each byte of a text walked from its start, in O(1) per byte, by keeping
// only the parity of the run of lead-range bytes seen so far.
class ByteTypeScanner {
 public:
  ByteType next(std::uint8_t byte) {
    const bool leadRange = isLeadRange(byte);
    const ByteType type = byte == 0   ? ByteType::Single
                          : oddRun_   ? ByteType::Trail
                          : leadRange ? ByteType::Lead
                                      : ByteType::Single;
    oddRun_ = leadRange && !oddRun_;
    return type;
  }

 private:
  bool oddRun_ = false;
};

}  // namespace torvane::sjis
