// One check from a text and a request to one result: the check itself, and what the request
// adds to it (every colour change, the table changes, the reading proposals). The writers that
// show a result (the command line's plain, JSON and rewritten outputs) only read it.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "checker/allowed_words.h"
#include "checker/class_settings.h"
#include "checker/recording_view.h"
#include "checker/result_list.h"
#include "checker/table_changes.h"
#include "reading/analyzer.h"
#include "reading/proposals.h"
#include "reading/reading_notes.h"
#include "request/input.h"
#include "request/packed_spans.h"
#include "tables/table_set.h"

namespace torvane::request {

struct CheckRequest {
  int level = 0;  // the level index, -1 to 6
  tables::TableSet tables = tables::TableSet::Tables1989;

  // What to add to the check. Each costs memory that grows with the text, so none is kept unless
  // asked for.
  bool spans = false;         // every colour change, for a writer that shows them all
  bool tableChanges = false;  // the characters whose stage the other set of tables changes
  bool proposals = false;     // the readings of the words that hold a red kanji
  // The readings of the kanji the check let pass, judged by the school stage that teaches them.
  bool readingNotes = false;

  // What the class has learnt beyond its year: known kanji and allowed words, no problem at any
  // level. With settings, the result says where the allowed words stood.
  std::optional<checker::ClassSettings> settings = std::nullopt;

  // The analyser for the proposals; when null, run opens the default dictionaries for the call.
  const reading::Analyzer* analyzer = nullptr;
};

// The dictionaries the proposals need are missing or broken.
class ReadingsUnavailable : public RequestError {
 public:
  using RequestError::RequestError;
};

struct CheckResult {
  int level = 0;
  tables::TableSet tables = tables::TableSet::Tables1989;
  std::size_t bytes = 0;  // the length of the Shift_JIS text that was checked

  checker::CheckRecord record;  // the progress count, the report lines and the summary
  checker::ResultLists lists;

  // Every colour change in the order the pass made it, the reset to black first; with `spans`
  // or `proposals` only.
  PackedSpans spans;
  std::optional<std::vector<checker::TableChange>> tableChanges;
  // With the request's settings: its known kanji, and each occurrence of an allowed word in the
  // checked text.
  struct SettingsUsed {
    std::vector<char32_t> known;
    std::vector<std::string> words;                   // the allowed words, as the request gave them
    std::vector<checker::AllowedOccurrence> allowed;  // each indexes `words`
  };
  std::optional<SettingsUsed> settings;
  std::optional<std::vector<reading::Proposal>> proposals;
  std::optional<std::vector<reading::ReadingNote>> readingNotes;
  // With the proposals or the reading notes: the checked text and the UTF-8 it came from, for their
  // words and for rewriting the text with them. Empty otherwise.
  reading::DecodedText text;

  // What the user should be told although the check went on (a user dictionary that could not
  // be used), one line of English each.
  std::vector<std::string> warnings;

  bool foundProblems() const { return !lists.ProblemOccurrences.empty(); }

  // The checked text as the rewrite reads it, with the colour changes given; valid while the
  // result and `colourChanges` are.
  reading::CheckedText checkedText(std::span<const checker::Span> colourChanges) const {
    return {text.utf8, text.converted, colourChanges};
  }
};

// Decodes the input, then checks it and adds what the request asks for. Throws InputError for
// an input that cannot be decoded, before anything else is done, and ReadingsUnavailable when
// the proposals or the reading notes are asked for and the dictionaries cannot be opened, before
// the check runs.
CheckResult run(InputText input, const CheckRequest& request);

}  // namespace torvane::request
