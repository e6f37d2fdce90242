// Reading the text to check; decoding it is the request's part.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "checker/class_settings.h"
#include "cli/options.h"
#include "request/input.h"

namespace torvane::cli {

// A file or standard input that cannot be read; the message is shown as it stands.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The whole file, or standard input when `file` is empty.
std::string readInput(const std::optional<std::string>& file);

// The input of the options, tagged with the encoding they name.
request::InputText readInput(const Options& options);

// The class settings of --known and --allow, or nothing when neither is given. Throws InputError
// naming the file (and the line) when a list cannot be read or is no list.
std::optional<checker::ClassSettings> readClassSettings(const Options& options);

}  // namespace torvane::cli
