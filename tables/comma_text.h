// Splitting a row of comma-separated text into fields, with its quoting rules.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace torvane::tables {

// A comma separates fields, and so does any byte from 0x01 to 0x20 outside quotes; such blank
// bytes around a field are skipped. A field that begins with a double quote runs to the closing
// double quote, a doubled double quote standing for one. A comma at the very end adds an empty
// field. Works on Shift_JIS bytes: trail bytes are never blanks, quotes or commas.
std::vector<std::string> splitCommaText(std::string_view row);

}  // namespace torvane::tables
