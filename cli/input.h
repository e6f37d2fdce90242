// Reading the text to check and turning it into Shift_JIS text.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "cli/options.h"
#include "reading/proposals.h"
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

// The same conversion, keeping the source for the reading proposals: UTF-8 input as it was read
// (without a byte-order mark) with its source map, cp932 input decoded character by character.
reading::DecodedText toMappedText(std::string bytes, InputEncoding encoding);

}  // namespace torvane::cli
