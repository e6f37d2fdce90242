// The fourteen class strings: one Shift_JIS string per character class, loaded from the source
// tables once and never changed afterwards.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace torvane::tables {

struct ClassStrings {
  std::string GradeChars1, GradeChars2, GradeChars3, GradeChars4, GradeChars5, GradeChars6;
  std::string HiraganaChars;     // ListBox2, rows each followed by CR LF
  std::string KatakanaChars;     // ListBox3
  std::string WideLatinChars;    // ListBox4
  std::string NarrowLatinChars;  // ListBox5
  std::string NarrowKanaChars;   // ListBox6
  std::string JuniorHighChars;   // ListBox14
  std::string SymbolChars;       // ListBox16
  std::string DigitChars;        // ListBox17
};

// Converts the source tables: the grade table row by row as comma text, the others joined with
// CR LF after every row, in the fixed order of the tables.
ClassStrings loadClassStrings();

// The Shift_JIS form of one table row given as UTF-8; throws std::logic_error for a row that
// the code page cannot express, which would be a fault in the built-in tables.
std::string rowToSjis(std::string_view utf8Row);

// The rows converted and joined, each followed by CR LF.
std::string joinRows(std::span<const std::string_view> rows);

}  // namespace torvane::tables
