// The text of the box that shows an unexpected failure.
#pragma once

#include <string>
#include <string_view>

namespace torvane::checker {

// The failure's message (UTF-8), with "." appended when it is not empty and its last character
// sorts after ".".
std::string failureText(std::string_view message);

}  // namespace torvane::checker
