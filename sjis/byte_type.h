// The byte-type rule that divides a Shift_JIS (code page 932) text into characters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace torvane::sjis {

enum class ByteType : std::uint8_t { Single, Lead, Trail };

// Bytes that begin a two-byte character when they stand on a character boundary.
constexpr bool isLeadRange(std::uint8_t byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

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
