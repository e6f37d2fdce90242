// The morphological analyser: MeCab with its IPA dictionary and Torvane's user dictionary,
// opened once for the program's life. Nothing of MeCab's header shows here.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace torvane::reading {

// The Debian package that holds the dictionary, for messages.
inline constexpr std::string_view kDictionaryPackage = "mecab-ipadic-utf8";

// Where the dictionaries are. The user dictionary is optional.
struct DictionaryPaths {
  std::string systemDir;       // a compiled IPA dictionary in UTF-8 (holds sys.dic and dicrc)
  std::string userDictionary;  // a compiled user dictionary file; empty for none
};

// The system dictionary in the Debian package's directory, or TORVANE_MECAB_DICDIR when set;
// the user dictionary from TORVANE_USER_DIC when set, else next to the executable, in the
// installed data directory, or in the build tree, whichever is found first.
DictionaryPaths defaultDictionaryPaths();

// Why the analyser could not be opened: one line of English naming what to install.
struct AnalyzerError {
  std::string message;
};

// One morpheme as the analyser found it: bytes of the UTF-8 text it was given.
struct Morpheme {
  std::size_t offset = 0;
  std::size_t length = 0;
  std::string_view partOfSpeech;  // 品詞 and its first subclass, "名詞,接尾"
  std::string_view subclass2;     // 品詞細分類2 ("助数詞" for counters)
  std::string_view subclass3;     // 品詞細分類3 ("姓" for a family name)
  std::string_view conjugation;   // 活用形 ("連用形", "*")
  std::string_view baseForm;      // 原形
  std::string reading;            // hiragana; empty when unknown
  bool known = true;              // false for a word the dictionary lacks
};

class Analyzer {
 public:
  static std::variant<Analyzer, AnalyzerError> open(
      const DictionaryPaths& paths = defaultDictionaryPaths());

  Analyzer(Analyzer&&) noexcept;
  Analyzer& operator=(Analyzer&&) noexcept;
  ~Analyzer();

  // When a user dictionary was asked for but could not be used: why, in one line; the analyser
  // then works with the system dictionary alone.
  const std::optional<std::string>& userDictionaryProblem() const { return userProblem_; }

  // The morphemes of a whole text, in order, offsets into `utf8`, parsed chunk by chunk
  // (reading/text_chunks.h): line breaks (CR, LF, U+2028, U+2029) end a chunk and belong to no
  // morpheme, and a long line is cut at its safest boundaries. The views in the result point into
  // the dictionary and stay valid as long as the analyser. Thread-safe.
  std::vector<Morpheme> parse(std::string_view utf8) const;

  // The readings the dictionaries hold for exactly `surface`, most likely first, in hiragana;
  // of the listed words (below), the common ones only.
  std::vector<std::string> readingsOf(std::string_view surface) const;

  // The readings a word list (EDICT's nouns, in the user dictionary) gives for exactly
  // `surface`, in hiragana, each with whether the list marks it common. Empty when the word is
  // not listed or the user dictionary is not in use.
  struct ListedReading {
    std::string reading;
    bool common = false;
    bool verb = false;  // a verb's or an adjective's form, not a noun or an adverb
    bool operator==(const ListedReading&) const = default;
  };
  std::vector<ListedReading> listedReadingsOf(std::string_view surface) const;

  // Both of the above from one look-up.
  struct WordReadings {
    std::vector<std::string> ranked;
    std::vector<ListedReading> listed;
  };
  WordReadings lookUp(std::string_view surface) const;

 private:
  struct Model;
  explicit Analyzer(std::unique_ptr<Model> model, std::optional<std::string> userProblem);
  std::unique_ptr<Model> model_;
  std::optional<std::string> userProblem_;
};

}  // namespace torvane::reading
