// The text a check starts from, as it arrived, and its decoding into the Shift_JIS text the
// check reads.
#pragma once

#include <stdexcept>
#include <string>

#include "reading/proposals.h"

namespace torvane::request {

struct InputText {
  enum class Encoding {
    // Converted as the window converts its box: a leading byte-order mark is skipped, every LF,
    // CR LF, lone CR, U+2028 and U+2029 becomes CR LF, and ill-formed UTF-8 is refused.
    Utf8,
    // Code page 932 bytes, checked as they stand: no line-break translation, no validation.
    ShiftJis,
  };

  std::string bytes;
  Encoding encoding = Encoding::Utf8;

  static InputText utf8(std::string bytes) { return {std::move(bytes), Encoding::Utf8}; }
  static InputText shiftJis(std::string bytes) { return {std::move(bytes), Encoding::ShiftJis}; }
};

// Why a request could not be run; the message is one line of English, shown as it stands.
class RequestError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An input that cannot be checked.
class InputError : public RequestError {
 public:
  using RequestError::RequestError;
};

// The text as the check reads it. With `keepSource`, also the UTF-8 that the source map points
// into: the input without its byte-order mark, or Shift_JIS decoded character by character.
// Without it, `converted` has no source map and `utf8` stays empty, and the input's bytes are
// released on return. Throws InputError naming the byte offset of the first ill-formed UTF-8
// sequence, counted in the input as it arrived.
reading::DecodedText decode(InputText input, bool keepSource);

}  // namespace torvane::request
