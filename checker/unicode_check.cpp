#include "checker/unicode_check.h"

namespace torvane::checker {

std::variant<sjis::MeasuredUtf8, sjis::InvalidUtf8> utf8Input(std::string_view bytes) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  const std::size_t skipped = bytes.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
  auto measured = sjis::measureUtf8(bytes.substr(skipped));
  if (auto* invalid = std::get_if<sjis::InvalidUtf8>(&measured)) invalid->offset += skipped;
  return measured;
}

}  // namespace torvane::checker
