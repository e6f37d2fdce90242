#include "sjis/byte_type.h"

namespace torvane::sjis {

ByteType byteTypeAt(std::string_view text, std::size_t index) {
  const auto byte = static_cast<std::uint8_t>(text[index]);
  if (byte == 0) return ByteType::Single;
  std::size_t run = 0;
  while (run < index && isLeadRange(static_cast<std::uint8_t>(text[index - run - 1]))) ++run;
  if (run % 2 == 1) return ByteType::Trail;
  return isLeadRange(byte) ? ByteType::Lead : ByteType::Single;
}

}  // namespace torvane::sjis
