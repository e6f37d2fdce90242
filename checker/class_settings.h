// What a class has learnt beyond its school year: kanji it knows, and words it may read whole
// (names, place names, terms of a subject). Both come as UTF-8 text files or as text the teacher
// types; a known kanji and every character of an allowed word are no problem at any level.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "checker/stage.h"

namespace torvane::checker {

struct ClassSettings {
  std::vector<char32_t> known;       // kanji, in code-point order, each once
  std::vector<std::string> allowed;  // UTF-8 words, in the order given, each once
  bool checkReadings = false;        // judge the readings of the kanji too

  bool operator==(const ClassSettings&) const = default;
};

// A CJK ideograph: the characters a list of known kanji keeps (々 and 〆 are marks, not kanji).
bool isKanji(char32_t character);

// Limits on a list file. A class's lists fit in a few kilobytes; a file larger than this is the
// wrong file, not a list.
inline constexpr std::size_t kMaxListFileBytes = 1'000'000;
inline constexpr std::size_t kMaxListLineChars = 100;  // longer than any word or name

// Why a list could not be read, and where.
struct ListProblem {
  enum class Kind {
    NotUtf8,      // `line` holds the first ill-formed sequence
    Empty,        // no kanji, or no word, in it
    TooLarge,     // over kMaxListFileBytes
    LineTooLong,  // `line` has over kMaxListLineChars characters
  };
  Kind kind = Kind::Empty;
  std::size_t line = 0;  // 1-based; 0 when the problem is the file as a whole
  bool operator==(const ListProblem&) const = default;
};

// One line of English naming `name` (a file name) and the line, for the command line.
std::string describeInEnglish(const ListProblem& problem, std::string_view name);

// The known kanji of a text: every kanji in it counts, everything else is ignored.
struct KnownKanji {
  std::vector<char32_t> kanji;    // code-point order, each once
  std::vector<char32_t> ignored;  // the other characters, first appearance first, each once
                                  // (white space and line breaks left out)
};
std::variant<KnownKanji, ListProblem> parseKnownKanji(std::string_view utf8);

// Allowed words, one a line: empty lines and lines starting with '#' are ignored, white space
// around a word is dropped, and a word given twice is kept once.
std::variant<std::vector<std::string>, ListProblem> parseAllowedWords(std::string_view utf8);

class Classifier;

// The known kanji by the stage the tables teach them at, for showing them grouped; each list in
// code-point order.
std::array<std::vector<char32_t>, kStageCount> knownByStage(const std::vector<char32_t>& known,
                                                            const Classifier& classifier);

// The files an export writes, which the parsers read back as they were: the known kanji forty a
// line, the allowed words one a line, each ending with LF.
std::string knownKanjiFile(const std::vector<char32_t>& known);
std::string allowedWordsFile(const std::vector<std::string>& allowed);

}  // namespace torvane::checker
