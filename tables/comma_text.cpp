#include "tables/comma_text.h"

namespace torvane::tables {
namespace {

bool isBlank(char byte) {
  return byte >= '\x01' && byte <= ' ';
}

}  // namespace

std::vector<std::string> splitCommaText(std::string_view row) {
  row = row.substr(0, row.find('\0'));  // the row is read as a NUL-terminated string
  std::vector<std::string> fields;
  std::size_t i = 0;
  const std::size_t n = row.size();
  auto skipBlanks = [&] {
    while (i < n && isBlank(row[i])) ++i;
  };
  skipBlanks();
  while (i < n) {
    std::string field;
    if (row[i] == '"') {
      ++i;
      while (i < n) {
        if (row[i] == '"') {
          if (i + 1 < n && row[i + 1] == '"') {
            field.push_back('"');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field.push_back(row[i++]);
      }
    } else {
      const std::size_t start = i;
      while (i < n && !isBlank(row[i]) && row[i] != ',') ++i;
      field.assign(row.substr(start, i - start));
    }
    fields.push_back(std::move(field));
    skipBlanks();
    if (i < n && row[i] == ',') {
      if (i + 1 == n) fields.emplace_back();
      do {
        ++i;
      } while (i < n && isBlank(row[i]));
    }
  }
  return fields;
}

}  // namespace torvane::tables
