// Whether a character is a member of a class string.
#pragma once

#include <bitset>
#include <cstdint>
#include <string_view>

namespace torvane::tables {

// The literal rules. A two-byte character is a member when its two bytes occur in the class
// string at an offset that is a lead or single byte there (an occurrence that begins on a trail
// byte is passed over); a one-byte character when its byte occurs anywhere, CR and LF included.
bool containsPairLiteral(std::string_view classString, std::uint8_t lead, std::uint8_t trail);
bool containsByteLiteral(std::string_view classString, std::uint8_t byte);

// The same answers from tables built once from the class string: the literal search costs a scan
// of the string per character. A test holds them equal to the literal rules for every byte and
// every pair that begins with a lead-range byte, the only pairs a check can ask about.
class ClassMembership {
 public:
  explicit ClassMembership(std::string_view classString);
  bool containsPair(std::uint16_t code) const { return pairs_[code]; }
  bool containsByte(std::uint8_t byte) const { return bytes_[byte]; }

 private:
  std::bitset<0x10000> pairs_;  // by lead << 8 | trail
  std::bitset<0x100> bytes_;
};

}  // namespace torvane::tables
