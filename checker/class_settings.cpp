#include "checker/class_settings.h"

#include <algorithm>
#include <unordered_set>

#include "checker/classify.h"
#include "sjis/codec.h"
#include "sjis/utf8.h"

namespace torvane::checker {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char32_t c) {
  return c == U' ' || c == U'\t' || c == U'\r' || c == U'\u3000' || c == U'\uFEFF';
}

// The lines of a list as code points, with the checks every list shares: the size, UTF-8, the
// length of a line. A leading byte-order mark is skipped (editors on Windows write one).
std::variant<std::vector<std::u32string>, ListProblem> linesOf(std::string_view utf8) {
  if (utf8.size() > kMaxListFileBytes) return ListProblem{ListProblem::Kind::TooLarge, 0};
  if (utf8.starts_with(kByteOrderMark)) utf8.remove_prefix(kByteOrderMark.size());
  const sjis::Utf8Decoded decoded = sjis::decodeUtf8(utf8);
  if (decoded.invalidAt) {
    const auto line = std::count(utf8.begin(), utf8.begin() + *decoded.invalidAt, '\n') + 1;
    return ListProblem{ListProblem::Kind::NotUtf8, static_cast<std::size_t>(line)};
  }
  std::vector<std::u32string> lines;
  std::u32string_view rest = decoded.text;
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find(U'\n'), rest.size());
    std::u32string_view line = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    if (line.ends_with(U'\r')) line.remove_suffix(1);
    if (line.size() > kMaxListLineChars) {
      return ListProblem{ListProblem::Kind::LineTooLong, lines.size() + 1};
    }
    lines.emplace_back(line);
  }
  return lines;
}

std::u32string_view trimmed(std::u32string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

bool isKanji(char32_t c) {
  return (c >= 0x3400 && c <= 0x4DBF) ||  // extension A
         (c >= 0x4E00 && c <= 0x9FFF) ||  // the unified ideographs
         (c >= 0xF900 && c <= 0xFAFF) ||  // compatibility ideographs (the NEC and IBM rows)
         (c >= 0x20000 && c <= 0x3FFFF);  // the supplementary and tertiary ideographic planes
}

std::string describeInEnglish(const ListProblem& problem, std::string_view name) {
  std::string text(name);
  text += ": ";
  switch (problem.kind) {
    case ListProblem::Kind::NotUtf8:
      text += "line " + std::to_string(problem.line) + " is not valid UTF-8";
      break;
    case ListProblem::Kind::Empty: text += "the list is empty"; break;
    case ListProblem::Kind::TooLarge:
      text += "the file is larger than 1 MB, too large for a list";
      break;
    case ListProblem::Kind::LineTooLong:
      text += "line " + std::to_string(problem.line) + " is longer than " +
              std::to_string(kMaxListLineChars) + " characters";
      break;
  }
  return text;
}

std::variant<KnownKanji, ListProblem> parseKnownKanji(std::string_view utf8) {
  auto lines = linesOf(utf8);
  if (auto* problem = std::get_if<ListProblem>(&lines)) return *problem;
  KnownKanji result;
  std::unordered_set<char32_t> ignored;
  for (const std::u32string& line : std::get<std::vector<std::u32string>>(lines)) {
    for (char32_t c : line) {
      if (isKanji(c)) {
        result.kanji.push_back(c);
      } else if (!isBlank(c) && ignored.insert(c).second) {
        result.ignored.push_back(c);
      }
    }
  }
  std::ranges::sort(result.kanji);
  // std::unique: clang 14 cannot build the subrange std::ranges::unique returns here.
  result.kanji.erase(std::unique(result.kanji.begin(), result.kanji.end()), result.kanji.end());
  if (result.kanji.empty()) return ListProblem{ListProblem::Kind::Empty, 0};
  return result;
}

std::variant<std::vector<std::string>, ListProblem> parseAllowedWords(std::string_view utf8) {
  auto lines = linesOf(utf8);
  if (auto* problem = std::get_if<ListProblem>(&lines)) return *problem;
  std::vector<std::string> words;
  std::unordered_set<std::u32string_view> seen;
  for (const std::u32string& line : std::get<std::vector<std::u32string>>(lines)) {
    const std::u32string_view word = trimmed(line);
    if (word.empty() || word.front() == U'#' || !seen.insert(word).second) continue;
    std::string out;
    for (char32_t c : word) sjis::appendUtf8(out, c);
    words.push_back(std::move(out));
  }
  if (words.empty()) return ListProblem{ListProblem::Kind::Empty, 0};
  return words;
}

std::array<std::vector<char32_t>, kStageCount> knownByStage(const std::vector<char32_t>& known,
                                                            const Classifier& classifier) {
  std::array<std::vector<char32_t>, kStageCount> out;
  const sjis::Cp932& codePage = sjis::Cp932::get();
  for (char32_t kanji : known) {
    const std::optional<sjis::SjisChar> c = codePage.encode(kanji);
    const std::optional<Stage> stage = classifier.stageOf(
        c && c->length() == 2 ? *c : sjis::SjisChar::outsideCodePage(sjis::placeholderFor(kanji)));
    out[static_cast<std::size_t>(stage.value_or(Stage::Beyond))].push_back(kanji);
  }
  return out;
}

std::string knownKanjiFile(const std::vector<char32_t>& known) {
  constexpr std::size_t kPerLine = 40;
  std::string out;
  for (std::size_t i = 0; i < known.size(); ++i) {
    sjis::appendUtf8(out, known[i]);
    if (i % kPerLine == kPerLine - 1 || i + 1 == known.size()) out += '\n';
  }
  return out;
}

std::string allowedWordsFile(const std::vector<std::string>& allowed) {
  std::string out;
  for (const std::string& word : allowed) {
    out += word;
    out += '\n';
  }
  return out;
}

}  // namespace torvane::checker
