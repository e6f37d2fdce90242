#include "cli/writers.h"

#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "sjis/codec.h"
#include "sjis/utf8.h"

namespace torvane::cli {
namespace {

std::string_view colorName(checker::TextColor color) {
  switch (color) {
    case checker::TextColor::Red: return "red";
    case checker::TextColor::Grey: return "grey";
    case checker::TextColor::Black: break;
  }
  return "black";
}

void writeHead(OutputStream& out, const request::CheckResult& result,
               const documents::OpenedDocument* input) {
  std::string& b = out.buffer();
  b += "{\n  \"level\": ";
  b += std::to_string(result.level);
  b += ",\n  \"tables\": ";
  appendJsonString(b, tables::tableSetName(result.tables));
  if (input != nullptr) {
    b += ",\n  \"input\": {\"format\": ";
    appendJsonString(b, documents::formatName(input->format));
    if (input->format == documents::DocumentFormat::Text) {
      b += ", \"encoding\": ";
      appendJsonString(b, documents::encodingName(input->encoding));
    }
    b += "}";
  }
}

// What the class has learnt: the known kanji, and where the allowed words stood.
void writeSettings(OutputStream& out, const request::CheckResult::SettingsUsed& settings) {
  std::string& b = out.buffer();
  b += ",\n  \"settings\": {\"known\": [";
  std::string character;
  for (std::size_t i = 0; i < settings.known.size(); ++i) {
    if (i > 0) b += ", ";
    character.clear();
    sjis::appendUtf8(character, settings.known[i]);
    appendJsonString(b, character);
  }
  b += "], \"allowed\": [";
  // An occurrence holds its word's Shift_JIS form, so the word decoded from that form is what
  // decoding the checked text there gives.
  std::vector<std::optional<std::string>> shown(settings.words.size());
  for (std::size_t i = 0; i < settings.allowed.size(); ++i) {
    const checker::AllowedOccurrence& at = settings.allowed[i];
    if (i > 0) b += ", ";
    b.push_back('[');
    appendNumber(b, at.offset);
    b += ", ";
    appendNumber(b, at.length);
    b += ", ";
    std::optional<std::string>& word = shown[at.word];
    if (!word)
      word = sjis::toUtf8(sjis::encode(sjis::decodeUtf8(settings.words[at.word]).text).text);
    appendJsonString(b, *word);
    b.push_back(']');
    out.flushIfFull();
  }
  b += "]}";
}

void writeBytes(OutputStream& out, const request::CheckResult& result) {
  std::string& b = out.buffer();
  b += ",\n  \"bytes\": ";
  appendNumber(b, result.bytes);
}

void writeSpans(OutputStream& out, const request::PackedSpans& spans) {
  std::string& b = out.buffer();
  b += ",\n  \"spans\": [";
  std::size_t seen = 0;
  spans.forEach([&](const checker::Span& span) {
    if (seen++ == 0) return;  // the reset of the whole text to black
    if (seen > 2) b += ", ";
    b.push_back('[');
    appendNumber(b, span.offset);
    b += ", ";
    appendNumber(b, span.length);
    b += ", \"";
    b += colorName(span.color);
    b += "\"]";
    out.flushIfFull();
  });
  b += "]";
}

void writeCheck(OutputStream& out, const checker::CheckRecord& record,
                const checker::ResultLists& lists) {
  std::string& b = out.buffer();
  b += ",\n  \"progress\": ";
  appendNumber(b, record.progressCount);

  const std::pair<std::string_view, const checker::ResultList*> found[] = {
      {"beyond", &lists.FoundBeyond}, {"junior_high", &lists.FoundJuniorHigh},
      {"grade6", &lists.FoundGrade6}, {"grade5", &lists.FoundGrade5},
      {"grade4", &lists.FoundGrade4}, {"grade3", &lists.FoundGrade3},
      {"grade2", &lists.FoundGrade2}, {"grade1", &lists.FoundGrade1},
  };
  b += ",\n  \"found\": {\n    ";
  for (std::size_t i = 0; i < std::size(found); ++i) {
    if (i == 5) {
      b += ",\n    ";  // two lines of a readable width
    } else if (i > 0) {
      b += ", ";
    }
    b.push_back('"');
    b += found[i].first;
    b += "\": ";
    appendCharArray(out, found[i].second->entries());
  }
  b += "\n  },\n  \"problem_kinds\": ";
  appendCharArray(out, lists.ProblemKinds.entries());
  b += ",\n  \"problem_occurrences\": ";
  appendCharArray(out, lists.ProblemOccurrences.entries());

  b += ",\n  \"report\": [";
  for (std::size_t i = 0; i < record.reportLines.size(); ++i) {
    if (i > 0) b += ", ";
    appendJsonString(b, sjis::toUtf8(record.reportLines[i]));
  }
  b += "],\n  \"summary\": {";
  if (record.summary) {
    const checker::Message& summary = *record.summary;
    b += "\"type\": ";
    appendJsonString(b, summary.kind == checker::MessageKind::Warning ? "warning" : "information");
    b += ", \"title\": ";
    appendJsonString(b, summary.title);
    b += ", \"text\": ";
    appendJsonString(b, summary.text);
  }
  b += "}";
}

void writeTableChanges(OutputStream& out, const std::vector<checker::TableChange>& changes) {
  std::string& b = out.buffer();
  b += ",\n  \"table_changes\": [";
  for (std::size_t i = 0; i < changes.size(); ++i) {
    const checker::TableChange& change = changes[i];
    b += i > 0 ? ",\n    " : "\n    ";  // one change per line
    b += "{\"char\": ";
    appendJsonString(b, sjis::toUtf8(change.character));
    b += ", \"1989\": ";
    appendJsonString(b, checker::stageKey(change.stage1989));
    b += ", \"2020\": ";
    appendJsonString(b, checker::stageKey(change.stage2020));
    b += ", \"occurrences\": ";
    appendNumber(b, change.occurrences);
    b.push_back('}');
    out.flushIfFull();
  }
  b += changes.empty() ? "]" : "\n  ]";
}

// The word as every JSON string is written: decoded character by character from the checked
// bytes, so a character the source map joined to its neighbour does not show.
void writeSuggestions(OutputStream& out, std::span<const reading::Proposal> proposals,
                      const sjis::SjisText& text) {
  std::string& b = out.buffer();
  b += ",\n  \"suggestions\": [";
  for (std::size_t i = 0; i < proposals.size(); ++i) {
    const reading::Proposal& p = proposals[i];
    b += i == 0 ? "\n    {\"offset\": " : ",\n    {\"offset\": ";
    appendNumber(b, p.offset);
    b += ", \"length\": ";
    appendNumber(b, p.length);
    b += ", \"word\": ";
    appendJsonString(b, sjis::toUtf8(sjis::slice(text, p.offset, p.length)));
    b += ", \"reading\": ";
    appendJsonString(b, p.reading);
    b += ", \"problems\": ";
    appendCharArray(out, p.problems);
    b += ", \"ruby\": [";
    for (std::size_t k = 0; k < p.ruby.size(); ++k) {
      b += k == 0 ? "[" : ", [";
      appendNumber(b, p.ruby[k].offset);
      b += ", ";
      appendNumber(b, p.ruby[k].length);
      b += ", ";
      appendJsonString(b, p.ruby[k].reading);
      b += "]";
    }
    b += "]}";
    out.flushIfFull();
  }
  b += proposals.empty() ? "]" : "\n  ]";
}

// Each kanji whose reading the level has not taught, in text order.
void writeReadingNotes(OutputStream& out, std::span<const reading::ReadingNote> notes,
                       const sjis::SjisText& text) {
  std::string& b = out.buffer();
  b += ",\n  \"reading_notes\": [";
  for (std::size_t i = 0; i < notes.size(); ++i) {
    const reading::ReadingNote& n = notes[i];
    b += i == 0 ? "\n    {\"offset\": " : ",\n    {\"offset\": ";
    appendNumber(b, n.offset);
    b += ", \"length\": ";
    appendNumber(b, n.length);
    b += ", \"char\": ";
    appendJsonString(b, sjis::toUtf8(n.character));
    b += ", \"reading\": ";
    appendJsonString(b, n.reading);
    b += ", \"stage\": ";
    appendJsonString(b, reading::noteStageKey(n.stage));
    b += ", \"word\": ";
    appendJsonString(b, sjis::toUtf8(sjis::slice(text, n.wordOffset, n.wordLength)));
    b += "}";
    out.flushIfFull();
  }
  b += notes.empty() ? "]" : "\n  ]";
}

}  // namespace

void writeJson(OutputStream& out, const request::CheckResult& result,
               const documents::OpenedDocument* input) {
  writeHead(out, result, input);
  if (result.settings) writeSettings(out, *result.settings);
  writeBytes(out, result);
  writeSpans(out, result.spans);
  writeCheck(out, result.record, result.lists);
  if (result.tableChanges) writeTableChanges(out, *result.tableChanges);
  if (result.proposals) writeSuggestions(out, *result.proposals, result.text.converted.text);
  if (result.readingNotes) writeReadingNotes(out, *result.readingNotes, result.text.converted.text);
  out.buffer() += "\n}\n";
}

}  // namespace torvane::cli
