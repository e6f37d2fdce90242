// The two sets of kanji tables a check can judge by.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace torvane::tables {

enum class TableSet {
  Tables1989,  // the built-in tables: the 1989 allocation to school years and the 1981 jōyō list
  Tables2020,  // the allocation in force since April 2020 and the 2010 jōyō list
};

inline constexpr std::array<TableSet, 2> kTableSets = {TableSet::Tables1989, TableSet::Tables2020};

// "1989" or "2020": the name on the command line and in its JSON output.
constexpr std::string_view tableSetName(TableSet set) {
  return set == TableSet::Tables2020 ? "2020" : "1989";
}

constexpr std::optional<TableSet> tableSetNamed(std::string_view name) {
  for (TableSet set : kTableSets) {
    if (tableSetName(set) == name) return set;
  }
  return std::nullopt;
}

}  // namespace torvane::tables
