#include "checker/report.h"

#include <string>

#include "tables/class_strings.h"

namespace torvane::checker {
namespace {

bool needsQuotes(const sjis::SjisText& entry) {
  for (char byte : entry.bytes) {
    const auto b = static_cast<std::uint8_t>(byte);
    if (b <= 0x20 || b == '"' || b == ',') return true;
  }
  return false;
}

sjis::SjisText quoted(const sjis::SjisText& entry) {
  sjis::SjisText out;
  out.bytes.push_back('"');
  std::size_t foreign = 0;
  for (std::size_t i = 0; i < entry.bytes.size(); ++i) {
    if (foreign < entry.foreign.size() && entry.foreign[foreign].offset == i) {
      out.foreign.push_back({out.bytes.size(), entry.foreign[foreign++].character});
    }
    out.bytes.push_back(entry.bytes[i]);
    if (entry.bytes[i] == '"') out.bytes.push_back('"');
  }
  out.bytes.push_back('"');
  return out;
}

}  // namespace

sjis::SjisText commaText(const std::vector<sjis::SjisChar>& entries) {
  sjis::SjisText line;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i > 0) line.bytes.push_back(',');
    sjis::SjisText entry;
    entry.append(entries[i]);
    line.append(needsQuotes(entry) ? quoted(entry) : entry);
  }
  return line;
}

sjis::SjisText trimLineEnd(sjis::SjisText line) {
  std::size_t end = line.bytes.size();
  while (end > 0 && static_cast<std::uint8_t>(line.bytes[end - 1]) <= 0x20) --end;
  line.bytes.resize(end);
  while (!line.foreign.empty() && line.foreign.back().offset + 2 > end) line.foreign.pop_back();
  return line;
}

std::vector<sjis::SjisText> reportLines(const ResultLists& lists) {
  std::vector<sjis::SjisText> lines;
  for (std::size_t s = 0; s < kReportSections.size(); ++s) {
    const ReportSection& section = kReportSections[s];
    const ResultList& list = lists.found(section.stage);
    if (list.empty()) continue;
    lines.push_back(trimLineEnd(sjis::rawSjis(tables::rowToSjis(section.header))));
    lines.push_back(trimLineEnd(commaText(list.entries())));
    if (s + 1 < kReportSections.size()) lines.push_back({});
  }
  return lines;
}

void writeReport(CheckView& view, const ResultLists& lists) {
  view.beginReportUpdate();
  for (const sjis::SjisText& line : reportLines(lists)) {
    if (!view.addReportLine(line)) {
      view.endReportUpdate();
      throw CheckFailure(std::string(kLineRefusedMessage));
    }
  }
  view.endReportUpdate();
}

Message summaryMessage(const ResultLists& lists) {
  if (lists.ProblemOccurrences.empty()) {
    return {MessageKind::Information, "情報", "問題は見つかりませんでした。"};
  }
  return {MessageKind::Warning, "警告",
          std::to_string(lists.ProblemKinds.size()) + " 種 " +
              std::to_string(lists.ProblemOccurrences.size()) + " 箇所の問題が見つかりました。"};
}

}  // namespace torvane::checker
