#include "reading/reading_stages.h"

#include <unordered_map>
#include <vector>

#include "reading/kana.h"

namespace torvane::reading {
namespace {

struct StageRow {
  std::string_view kanji;
  std::string_view byStage[3];  // primary, junior high, high school
};

#include "reading_stages_table.inc"

// The forms the list allows where Shift_JIS lacks its own (常用漢字表 付 第2の3).
constexpr std::pair<char32_t, char32_t> kSjisForms[] = {
    {U'填', U'塡'}, {U'剥', U'剝'}, {U'頬', U'頰'}};

using Table = std::unordered_map<char32_t, std::vector<JoyoReading>>;

Table buildTable() {
  Table table;
  for (const StageRow& row : kStageRows) {
    std::vector<JoyoReading>& readings = table[utf8CharAt(row.kanji, 0).value];
    for (std::size_t s = 0; s < 3; ++s) {
      std::string_view field = row.byStage[s];
      while (!field.empty()) {
        const std::size_t space = field.find(' ');
        const std::string_view written = field.substr(0, space);
        field = space == std::string_view::npos ? std::string_view() : field.substr(space + 1);
        if (written.empty()) continue;
        const std::size_t dash = written.find('-');
        JoyoReading reading;
        reading.kana = toHiragana(written.substr(0, dash));
        reading.stem = reading.kana.size();
        if (dash != std::string_view::npos) reading.kana += toHiragana(written.substr(dash + 1));
        reading.stage = static_cast<ReadingStage>(s);
        const char32_t first = utf8CharAt(written, 0).value;
        reading.native = first >= U'\u3041' && first <= U'\u3096';
        readings.push_back(std::move(reading));
      }
    }
  }
  for (const auto& [sjisForm, official] : kSjisForms) table[sjisForm] = table.at(official);
  return table;
}

const Table& table() {
  static const Table built = buildTable();
  return built;
}

}  // namespace

std::span<const JoyoReading> joyoReadingsOf(char32_t kanji) {
  const Table& t = table();
  const auto found = t.find(kanji);
  if (found == t.end()) return {};
  return found->second;
}

std::optional<VerbStems> verbStemsOf(const JoyoReading& reading) {
  constexpr std::u32string_view kDictionaryEndings = U"うくぐすつぬぶむる";
  constexpr std::string_view kStemEndings[] = {"い", "き", "ぎ", "し", "ち",
                                               "に", "び", "み", "り"};
  if (!reading.native || reading.stem >= reading.kana.size()) return std::nullopt;
  const std::u32string okurigana = codePoints(std::string_view(reading.kana).substr(reading.stem));
  const std::size_t ending = kDictionaryEndings.find(okurigana.back());
  if (ending == std::u32string_view::npos) return std::nullopt;
  constexpr std::size_t kKanaBytes = 3;  // every hiragana in UTF-8
  VerbStems stems;
  const std::string less = reading.kana.substr(0, reading.kana.size() - kKanaBytes);
  stems.godan = less + std::string(kStemEndings[ending]);
  if (okurigana.back() == U'る') stems.ichidan = less;
  return stems;
}

bool isNativeNounReading(char32_t kanji, std::string_view reading) {
  for (const JoyoReading& r : joyoReadingsOf(kanji)) {
    if (r.native && r.stem == r.kana.size() && r.kana == reading) return true;
  }
  return false;
}

std::size_t joyoKanjiCount() {
  return std::size(kStageRows);
}

std::span<const AppendixWord> appendixWords() {
  return kAppendixRows;
}

}  // namespace torvane::reading
