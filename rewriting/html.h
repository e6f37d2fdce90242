// The pieces of the HTML document the rewrite writes.
#pragma once

#include <string>
#include <string_view>

namespace torvane::reading::html {

// Escapes the five characters HTML gives meaning to; a NUL becomes U+FFFD.
void appendEscaped(std::string& out, std::string_view text);

// Up to the opening of the first paragraph, and after the closing of the last.
std::string_view documentHead();
std::string_view documentTail();

}  // namespace torvane::reading::html
