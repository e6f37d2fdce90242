// One classifier per set of tables, built on first use and kept for the program's life, so that
// choosing a set costs nothing once both are built.
#pragma once

#include "checker/classify.h"
#include "checker/unicode_classifier.h"
#include "tables/table_set.h"

namespace torvane::checker {

// Thread-safe; the first call for a set loads its class strings and builds its lookup tables.
const Classifier& classifierFor(tables::TableSet set);

// The same rules by code point, for text that arrives as Unicode; built on first use from the
// set's classifier.
const UnicodeClassifier& unicodeClassifierFor(tables::TableSet set);

}  // namespace torvane::checker
