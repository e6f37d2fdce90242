// The fourteen class strings: one Shift_JIS string per character class, loaded from the source
// tables once and never changed afterwards.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tables/table_set.h"

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

  // Junior-high kanji whose official form the code page lacks (the 2010 list has four). Their
  // stand-ins are in JuniorHighChars; the official forms reach the check as characters outside
  // the code page. Empty for the built-in tables.
  std::vector<char32_t> JuniorHighOutsideCodePage;
};

// Converts the source tables: the grade table row by row as comma text, the others joined with
// CR LF after every row, in the fixed order of the tables. The 2020 set has its own grade and
// junior-high tables; the other seven class strings are the same in both sets.
ClassStrings loadClassStrings(TableSet set = TableSet::Tables1989);

// The Shift_JIS form of one table row given as UTF-8; throws std::logic_error for a row that
// the code page cannot express, which would be a fault in the built-in tables.
std::string rowToSjis(std::string_view utf8Row);

// The rows converted and joined, each followed by CR LF.
std::string joinRows(std::span<const std::string_view> rows);

}  // namespace torvane::tables
