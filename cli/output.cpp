#include "cli/output.h"

#include <charconv>
#include <utility>

#include "sjis/codec.h"

namespace torvane::cli {
namespace {

void appendNumber(std::string& out, std::size_t value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.append(digits, end);
}

std::string_view colorName(checker::TextColor color) {
  switch (color) {
    case checker::TextColor::Red: return "red";
    case checker::TextColor::Grey: return "grey";
    case checker::TextColor::Black: break;
  }
  return "black";
}

}  // namespace

// Escapes what JSON requires; everything else passes as UTF-8.
void appendJsonString(std::string& out, std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  out.push_back('"');
  for (const char ch : utf8) {
    const auto byte = static_cast<unsigned char>(ch);
    switch (ch) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      default:
        if (byte < 0x20) {
          out += "\\u00";
          out.push_back(kHex[byte >> 4]);
          out.push_back(kHex[byte & 0xF]);
        } else {
          out.push_back(ch);
        }
    }
  }
  out.push_back('"');
}

void appendCharArray(OutputStream& stream, const std::vector<sjis::SjisChar>& entries) {
  const sjis::Cp932& codePage = sjis::Cp932::get();
  std::string& out = stream.buffer();
  out.push_back('[');
  std::string character;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i > 0) out += ", ";
    character.clear();
    sjis::appendUtf8(character, codePage.decode(entries[i]));
    appendJsonString(out, character);
    stream.flushIfFull();
  }
  out.push_back(']');
}

void OutputStream::flush() {
  if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
    failed_ = true;
  }
  buffer_.clear();
}

bool OutputStream::finish() {
  flush();
  return std::fflush(file_) == 0 && !failed_;
}

void writePlain(OutputStream& out, const checker::CheckRecord& record) {
  for (const sjis::SjisText& line : record.reportLines) {
    out.buffer() += sjis::toUtf8(line);
    out.buffer().push_back('\n');
    out.flushIfFull();
  }
  if (record.summary) out.buffer() += record.summary->text + "\n";
}

void writePlainTableChanges(OutputStream& out, const std::vector<checker::TableChange>& changes) {
  std::string& b = out.buffer();
  for (const checker::TableChange& change : changes) {
    b += sjis::toUtf8(change.character);
    b.push_back('\t');
    b += checker::stageKey(change.stage1989);
    b.push_back('\t');
    b += checker::stageKey(change.stage2020);
    b.push_back('\t');
    appendNumber(b, change.occurrences);
    b.push_back('\n');
    out.flushIfFull();
  }
}

void writeJsonHead(OutputStream& out, int level, tables::TableSet tables, std::size_t bytes) {
  std::string& b = out.buffer();
  b += "{\n  \"level\": ";
  b += std::to_string(level);
  b += ",\n  \"tables\": ";
  appendJsonString(b, tables::tableSetName(tables));
  b += ",\n  \"bytes\": ";
  appendNumber(b, bytes);
  b += ",\n  \"spans\": [";
}

void JsonSpanWriter::operator()(const checker::Span& span) {
  if (seen_++ == 0) return;  // the reset of the whole text to black
  std::string& b = out_->buffer();
  if (seen_ > 2) b += ", ";
  b.push_back('[');
  appendNumber(b, span.offset);
  b += ", ";
  appendNumber(b, span.length);
  b += ", \"";
  b += colorName(span.color);
  b += "\"]";
  out_->flushIfFull();
}

void writeJsonTail(OutputStream& out, const checker::CheckRecord& record,
                   const checker::ResultLists& lists) {
  std::string& b = out.buffer();
  b += "],\n  \"progress\": ";
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

void writeJsonTableChanges(OutputStream& out, const std::vector<checker::TableChange>& changes) {
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

void writeJsonEnd(OutputStream& out) {
  out.buffer() += "\n}\n";
}

}  // namespace torvane::cli
