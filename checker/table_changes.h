// The characters whose stage differs between the 1989 and the 2020 tables.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "checker/classify.h"
#include "checker/stage.h"
#include "sjis/sjis_text.h"

namespace torvane::checker {

struct TableChange {
  sjis::SjisChar character;
  Stage stage1989 = Stage::Beyond;
  Stage stage2020 = Stage::Beyond;
  std::size_t occurrences = 0;  // in the text; 0 in the list of every change
  bool operator==(const TableChange&) const = default;
};

// The changed characters of a text, in the order of their first appearance, with how often each
// occurs. Characters are divided as the check divides them; O(1) per character.
std::vector<TableChange> tableChanges(const sjis::SjisText& text, const Classifier& tables1989,
                                      const Classifier& tables2020);
// The same with the classifiers of classifierFor.
std::vector<TableChange> tableChanges(const sjis::SjisText& text);

// Every change of the tables: every character of the code page and every official form outside
// it that has a stage in either set, grouped by its 2020 stage, then by its 1989 stage (grade 1
// first), then in code order with the forms outside the code page last.
std::vector<TableChange> allTableChanges(const Classifier& tables1989,
                                         const Classifier& tables2020);
std::vector<TableChange> allTableChanges();

// The changes as tab-separated text (UTF-8), a header line first, each line ending in LF: the
// character, its stage in each set in the report's words and, with counts, its occurrences.
std::string tableChangesText(const std::vector<TableChange>& changes, bool withCounts);

}  // namespace torvane::checker
