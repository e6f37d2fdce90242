// Reading the text to check and turning it into Shift_JIS text.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "cli/options.h"
#include "sjis/sjis_text.h"

namespace torvane::cli {

// An input that cannot be checked; the message is shown as it stands.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The whole file, or standard input when `file` is empty.
std::string readInput(const std::optional<std::string>& file);

// UTF-8: a leading byte-order mark is skipped, line breaks become CR LF, and the text is
// converted as the window converts its text box. cp932: the bytes as they stand.
sjis::SjisText toSjisText(std::string bytes, InputEncoding encoding);

}  // namespace torvane::cli
