#include "cli/writers.h"

#include "sjis/codec.h"

namespace torvane::cli {
namespace {

void writeReport(OutputStream& out, const checker::CheckRecord& record) {
  for (const sjis::SjisText& line : record.reportLines) {
    out.buffer() += sjis::toUtf8(line);
    out.buffer().push_back('\n');
    out.flushIfFull();
  }
  if (record.summary) out.buffer() += record.summary->text + "\n";
}

void writeTableChanges(OutputStream& out, const std::vector<checker::TableChange>& changes) {
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

}  // namespace

void writePlain(OutputStream& out, const request::CheckResult& result) {
  writeReport(out, result.record);
  if (result.tableChanges) writeTableChanges(out, *result.tableChanges);
}

}  // namespace torvane::cli
