#include "cli/output.h"

#include <charconv>
#include <string_view>
#include <utility>

#include "sjis/codec.h"

namespace torvane::cli {
namespace {

void appendNumber(std::string& out, std::size_t value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.append(digits, end);
}

// Escapes what JSON requires; everything else passes as UTF-8.
void appendJsonString(std::string& out, std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  out.push_back('"');
  for (const char ch : utf8) {
    const auto byte = static_cast<unsigned char>(ch);
    switch (ch) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
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

void appendCharArray(std::string& out, const std::vector<sjis::SjisChar>& entries) {
  const sjis::Cp932& codePage = sjis::Cp932::get();
  out.push_back('[');
  std::string character;
  bool first = true;
  for (const sjis::SjisChar& c : entries) {
    if (!first) out += ", ";
    first = false;
    character.clear();
    sjis::appendUtf8(character, codePage.decode(c));
    appendJsonString(out, character);
  }
  out.push_back(']');
}

std::string_view colorName(checker::TextColor color) {
  switch (color) {
    case checker::TextColor::Red:
      return "red";
    case checker::TextColor::Grey:
      return "grey";
    case checker::TextColor::Black:
      break;
  }
  return "black";
}

}  // namespace

std::string plainOutput(const CheckedText& checked) {
  std::string out;
  for (const sjis::SjisText& line : checked.record.reportLines) {
    out += sjis::toUtf8(line);
    out.push_back('\n');
  }
  if (checked.record.summary) out += checked.record.summary->text + "\n";
  return out;
}

std::string jsonOutput(const CheckedText& checked) {
  const auto& record = checked.record;
  const auto& lists = checked.lists;
  std::string out;
  out.reserve(64 + record.spans.size() * 20);
  out += "{\n  \"level\": ";
  out += std::to_string(checked.level);
  out += ",\n  \"bytes\": ";
  appendNumber(out, checked.bytes);

  out += ",\n  \"spans\": [";
  // The first colour change is the reset of the whole text to black.
  for (std::size_t i = 1; i < record.spans.size(); ++i) {
    const checker::Span& span = record.spans[i];
    if (i > 1) out += ", ";
    out.push_back('[');
    appendNumber(out, span.offset);
    out += ", ";
    appendNumber(out, span.length);
    out += ", \"";
    out += colorName(span.color);
    out += "\"]";
  }
  out += "],\n  \"progress\": ";
  appendNumber(out, record.progressCount);

  const std::pair<std::string_view, const checker::ResultList*> found[] = {
      {"beyond", &lists.FoundBeyond}, {"junior_high", &lists.FoundJuniorHigh},
      {"grade6", &lists.FoundGrade6}, {"grade5", &lists.FoundGrade5},
      {"grade4", &lists.FoundGrade4}, {"grade3", &lists.FoundGrade3},
      {"grade2", &lists.FoundGrade2}, {"grade1", &lists.FoundGrade1},
  };
  out += ",\n  \"found\": {\n    ";
  for (std::size_t i = 0; i < std::size(found); ++i) {
    if (i == 5)
      out += ",\n    ";  // two lines of a readable width
    else if (i > 0)
      out += ", ";
    out.push_back('"');
    out += found[i].first;
    out += "\": ";
    appendCharArray(out, found[i].second->entries());
  }
  out += "\n  },\n  \"problem_kinds\": ";
  appendCharArray(out, lists.ProblemKinds.entries());
  out += ",\n  \"problem_occurrences\": ";
  appendCharArray(out, lists.ProblemOccurrences.entries());

  out += ",\n  \"report\": [";
  for (std::size_t i = 0; i < record.reportLines.size(); ++i) {
    if (i > 0) out += ", ";
    appendJsonString(out, sjis::toUtf8(record.reportLines[i]));
  }
  out += "],\n  \"summary\": {";
  if (record.summary) {
    const checker::Message& summary = *record.summary;
    out += "\"type\": ";
    appendJsonString(out,
                     summary.kind == checker::MessageKind::Warning ? "warning" : "information");
    out += ", \"title\": ";
    appendJsonString(out, summary.title);
    out += ", \"text\": ";
    appendJsonString(out, summary.text);
  }
  out += "}\n}\n";
  return out;
}

}  // namespace torvane::cli
