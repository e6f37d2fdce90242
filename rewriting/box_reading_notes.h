// The reading notes of a text box's text: the text checked again at the level of the last check,
// every kanji word read, each note with where it stands in the box, and the lines of the report
// section that lists them. One call a worker can make.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "checker/allowed_words.h"
#include "checker/classify.h"
#include "reading/analyzer.h"
#include "reading/reading_notes.h"

namespace torvane::reading {

struct BoxReadingNote {
  ReadingNote note;
  std::size_t from = 0;  // the kanji: UTF-16 positions in the box
  std::size_t to = 0;
  std::string word;  // UTF-8: the word it stands in
  bool operator==(const BoxReadingNote&) const = default;
};

// `known` (ascending) and `allowed` (may be null) are the class's: they give no note.
std::vector<BoxReadingNote> boxReadingNotes(const Analyzer& analyzer, std::u16string_view utf16,
                                            int level, const checker::Classifier& classifier,
                                            std::span<const char32_t> known = {},
                                            const checker::AllowedWords* allowed = nullptr);

// The header of the report section, as the report writes its stage headers.
inline constexpr std::string_view kReadingNotesHeader =
    "  ------   読み方がまだ習わない漢字   ------";

// The report section (UTF-8 lines): the header, then one line for each kanji and reading, in the
// order they first appear: 今（きん）　中学で習う読み　今上天皇　2 箇所. Nothing without notes.
std::vector<std::string> readingNotesReport(const std::vector<BoxReadingNote>& notes);

// Why a note was given, as a teacher reads it (UTF-8): 今：きん は中学で習う読み方.
std::string noteReason(const ReadingNote& note);

}  // namespace torvane::reading
