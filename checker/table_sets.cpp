#include "checker/table_sets.h"

#include "tables/class_strings.h"

namespace torvane::checker {

const Classifier& classifierFor(tables::TableSet set) {
  if (set == tables::TableSet::Tables2020) {
    static const Classifier tables2020(tables::loadClassStrings(tables::TableSet::Tables2020));
    return tables2020;
  }
  static const Classifier tables1989(tables::loadClassStrings(tables::TableSet::Tables1989));
  return tables1989;
}

const UnicodeClassifier& unicodeClassifierFor(tables::TableSet set) {
  if (set == tables::TableSet::Tables2020) {
    static const UnicodeClassifier tables2020(classifierFor(set));
    return tables2020;
  }
  static const UnicodeClassifier tables1989(classifierFor(set));
  return tables1989;
}

}  // namespace torvane::checker
