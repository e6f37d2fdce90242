#include "tables/membership.h"

#include "sjis/byte_type.h"

namespace torvane::tables {

bool containsPairLiteral(std::string_view classString, std::uint8_t lead, std::uint8_t trail) {
  const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
  for (std::size_t at = classString.find(std::string_view(pair, 2)); at != std::string_view::npos;
       at = classString.find(std::string_view(pair, 2), at + 1)) {
    if (sjis::byteTypeAt(classString, at) != sjis::ByteType::Trail) return true;
  }
  return false;
}

bool containsByteLiteral(std::string_view classString, std::uint8_t byte) {
  return classString.find(static_cast<char>(byte)) != std::string_view::npos;
}

ClassMembership::ClassMembership(std::string_view classString) {
  sjis::ByteTypeScanner scanner;
  for (std::size_t i = 0; i < classString.size(); ++i) {
    const auto byte = static_cast<std::uint8_t>(classString[i]);
    bytes_.set(byte);
    if (scanner.next(byte) != sjis::ByteType::Trail && i + 1 < classString.size()) {
      pairs_.set(byte << 8 | static_cast<std::uint8_t>(classString[i + 1]));
    }
  }
}

}  // namespace torvane::tables
