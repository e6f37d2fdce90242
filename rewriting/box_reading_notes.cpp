#include "rewriting/box_reading_notes.h"

#include <map>
#include <utility>

#include "rewriting/checked_source.h"

namespace torvane::reading {
namespace {

std::string_view stageInJapanese(NoteStage stage) {
  switch (stage) {
    case NoteStage::JuniorHigh: return "中学で習う読み";
    case NoteStage::HighSchool: return "高校で習う読み";
    case NoteStage::OutsideJoyo: return "常用漢字表にない読み";
  }
  return "常用漢字表にない読み";
}

}  // namespace

std::vector<BoxReadingNote> boxReadingNotes(const Analyzer& analyzer, std::u16string_view utf16,
                                            int level, const checker::Classifier& classifier,
                                            std::span<const char32_t> known,
                                            const checker::AllowedWords* allowed) {
  const CheckedSource source = CheckedSource::check(utf16, level, classifier);
  const std::vector<Proposal> words =
      propose(analyzer, source.view(), classifier, ProposalScope::EveryKanjiWord);
  const sjis::SjisText& text = source.view().converted.text;
  std::vector<BoxReadingNote> notes;
  const std::vector<checker::AllowedOccurrence> occurrences =
      allowed != nullptr ? allowed->find(text) : std::vector<checker::AllowedOccurrence>();
  for (ReadingNote& note :
       readingNotes(source.view(), words, level, exemptByClassSettings(text, known, occurrences))) {
    const auto [from, to] = source.utf16Range(note.offset, note.length);
    std::string word = sjis::toUtf8(sjis::slice(text, note.wordOffset, note.wordLength));
    notes.push_back({std::move(note), from, to, std::move(word)});
  }
  return notes;
}

std::vector<std::string> readingNotesReport(const std::vector<BoxReadingNote>& notes) {
  if (notes.empty()) return {};
  struct Line {
    std::size_t first;  // the note it first appears with
    std::size_t count;
  };
  std::map<std::pair<std::string, std::string>, Line> lines;
  std::vector<std::pair<std::string, std::string>> order;
  for (std::size_t i = 0; i < notes.size(); ++i) {
    std::pair<std::string, std::string> key{sjis::toUtf8(notes[i].note.character),
                                            notes[i].note.reading};
    auto [it, added] = lines.try_emplace(key, Line{i, 0});
    if (added) order.push_back(std::move(key));
    ++it->second.count;
  }
  std::vector<std::string> report{std::string(kReadingNotesHeader)};
  for (const auto& key : order) {
    const Line& line = lines.at(key);
    const BoxReadingNote& first = notes[line.first];
    report.push_back(key.first + "（" + key.second + "）　" +
                     std::string(stageInJapanese(first.note.stage)) + "　" + first.word + "　" +
                     std::to_string(line.count) + " 箇所");
  }
  return report;
}

std::string noteReason(const ReadingNote& note) {
  std::string reason = sjis::toUtf8(note.character) + "：" + note.reading + " は";
  if (note.stage == NoteStage::OutsideJoyo) return reason + "表外読み（常用漢字表にない読み方）";
  return reason + std::string(stageInJapanese(note.stage)) + "方";
}

}  // namespace torvane::reading
