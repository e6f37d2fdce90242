#include "checker/table_changes.h"

#include <algorithm>
#include <optional>
#include <tuple>
#include <unordered_map>

#include "checker/result_list.h"
#include "checker/table_sets.h"
#include "sjis/byte_type.h"
#include "sjis/codec.h"

namespace torvane::checker {
namespace {

std::optional<Stage> stageIn(const Classifier& classifier, const sjis::SjisChar& c) {
  return classifier.stageOf(c);
}

// A change when the character has a stage in both sets and they differ. The shared class strings
// come before or after both kanji classes alike, so a character never has a stage in one set only.
std::optional<TableChange> changeOf(const sjis::SjisChar& c, const Classifier& tables1989,
                                    const Classifier& tables2020) {
  const auto before = stageIn(tables1989, c);
  const auto after = stageIn(tables2020, c);
  if (!before || !after || *before == *after) return std::nullopt;
  return TableChange{c, *before, *after, 0};
}

}  // namespace

std::vector<TableChange> tableChanges(const sjis::SjisText& text, const Classifier& tables1989,
                                      const Classifier& tables2020) {
  std::vector<TableChange> changes;
  std::unordered_map<std::uint32_t, std::size_t> indexOf;  // by uniqueness key
  const UniquenessKeys& keys = UniquenessKeys::get();
  sjis::forEachChar(text, [&](std::size_t, const sjis::SjisChar& c) {
    if (c.length() != 2) return;  // one-byte characters have no stage
    const auto change = changeOf(c, tables1989, tables2020);
    if (!change) return;
    const auto [at, added] = indexOf.try_emplace(keys(c), changes.size());
    if (added) changes.push_back(*change);
    ++changes[at->second].occurrences;
  });
  return changes;
}

std::vector<TableChange> tableChanges(const sjis::SjisText& text) {
  return tableChanges(text, classifierFor(tables::TableSet::Tables1989),
                      classifierFor(tables::TableSet::Tables2020));
}

std::vector<TableChange> allTableChanges(const Classifier& tables1989,
                                         const Classifier& tables2020) {
  std::vector<TableChange> changes;
  auto consider = [&](const sjis::SjisChar& c) {
    if (const auto change = changeOf(c, tables1989, tables2020)) changes.push_back(*change);
  };
  for (unsigned lead = 0; lead < 0x100; ++lead) {
    if (!sjis::isLeadRange(static_cast<std::uint8_t>(lead))) continue;
    for (unsigned trail = 0; trail < 0x100; ++trail) {
      consider(
          sjis::SjisChar::pair(static_cast<std::uint8_t>(lead), static_cast<std::uint8_t>(trail)));
    }
  }
  std::vector<char32_t> foreign = tables1989.juniorHighOutsideCodePage();
  for (char32_t character : tables2020.juniorHighOutsideCodePage()) {
    if (std::ranges::find(foreign, character) == foreign.end()) foreign.push_back(character);
  }
  for (char32_t character : foreign) consider(sjis::SjisChar::outsideCodePage(character));

  auto order = [](const TableChange& change) {
    const sjis::SjisChar& c = change.character;
    return std::tuple(change.stage2020, change.stage1989, c.foreign() != 0,
                      c.foreign() != 0 ? static_cast<std::uint32_t>(c.foreign()) : c.code());
  };
  std::ranges::sort(
      changes, [&](const TableChange& a, const TableChange& b) { return order(a) < order(b); });
  return changes;
}

std::vector<TableChange> allTableChanges() {
  return allTableChanges(classifierFor(tables::TableSet::Tables1989),
                         classifierFor(tables::TableSet::Tables2020));
}

std::string tableChangesText(const std::vector<TableChange>& changes, bool withCounts) {
  std::string text = "文字\t1989年の表\t2020年の表";
  text += withCounts ? "\t回数\n" : "\n";
  for (const TableChange& change : changes) {
    text += sjis::toUtf8(change.character);
    text += '\t';
    text += stageWords(change.stage1989);
    text += '\t';
    text += stageWords(change.stage2020);
    if (withCounts) {
      text += '\t';
      text += std::to_string(change.occurrences);
    }
    text += '\n';
  }
  return text;
}

}  // namespace torvane::checker
