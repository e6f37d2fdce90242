#include "tables/class_strings.h"

#include <array>
#include <stdexcept>

#include "sjis/codec.h"
#include "sjis/utf8.h"
#include "tables/comma_text.h"
#include "tables/source_tables.h"
#include "tables/source_tables_2020.h"

namespace torvane::tables {

std::string rowToSjis(std::string_view utf8Row) {
  const sjis::Utf8Decoded decoded = sjis::decodeUtf8(utf8Row);
  if (decoded.invalidAt) throw std::logic_error("table row is not UTF-8");
  const sjis::EncodedText encoded = sjis::encode(decoded.text);
  if (!encoded.text.foreign.empty() || encoded.text.size() < decoded.text.size()) {
    throw std::logic_error("table row has no Shift_JIS form: " + std::string(utf8Row));
  }
  return encoded.text.bytes;
}

std::string joinRows(std::span<const std::string_view> rows) {
  std::string joined;
  for (std::string_view row : rows) {
    joined += rowToSjis(row);
    joined += "\r\n";
  }
  return joined;
}

namespace {

void loadGradeStrings(std::span<const std::string_view> gradeRows, ClassStrings& strings) {
  const std::array<std::string*, 6> grades = {
      &strings.GradeChars1, &strings.GradeChars2, &strings.GradeChars3,
      &strings.GradeChars4, &strings.GradeChars5, &strings.GradeChars6,
  };
  for (std::string_view row : gradeRows) {
    const std::vector<std::string> fields = splitCommaText(rowToSjis(row));
    if (fields.size() < 2) continue;
    // Six independent comparisons: a row may belong to several grades only by being repeated.
    for (std::size_t g = 0; g < grades.size(); ++g) {
      if (fields[0] == std::string(1, static_cast<char>('1' + g))) *grades[g] += fields[1];
    }
  }
}

}  // namespace

ClassStrings loadClassStrings(TableSet set) {
  ClassStrings strings;
  using Rows = std::span<const std::string_view>;
  const bool tables2020 = set == TableSet::Tables2020;
  loadGradeStrings(tables2020 ? Rows(GradeRows2020) : Rows(ListBox1), strings);
  strings.HiraganaChars = joinRows(ListBox2);
  strings.KatakanaChars = joinRows(ListBox3);
  strings.WideLatinChars = joinRows(ListBox4);
  strings.NarrowLatinChars = joinRows(ListBox5);
  strings.NarrowKanaChars = joinRows(ListBox6);
  strings.JuniorHighChars = joinRows(tables2020 ? Rows(JuniorHighRows2020) : Rows(ListBox14));
  strings.SymbolChars = joinRows(ListBox16);
  strings.DigitChars = joinRows(ListBox17);
  if (tables2020) {
    for (const OfficialFormOutsideCodePage& form : kJuniorHighOutsideCodePage2020) {
      strings.JuniorHighOutsideCodePage.push_back(form.official);
    }
  }
  return strings;
}

}  // namespace torvane::tables
