#include "checker/failure_text.h"

#include <unicode/utf8.h>

namespace torvane::checker {

std::string failureText(std::string_view message) {
  std::string text(message);
  if (message.empty()) return text;
  const auto* s = reinterpret_cast<const std::uint8_t*>(message.data());
  std::int32_t end = static_cast<std::int32_t>(message.size());
  UChar32 last;
  U8_PREV_OR_FFFD(s, 0, end, last);
  if (last > '.') text += '.';
  return text;
}

}  // namespace torvane::checker
