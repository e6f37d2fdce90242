// The report written into the lower box after a check, and the summary message.
#pragma once

#include <array>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "checker/check_view.h"
#include "checker/result_list.h"
#include "sjis/sjis_text.h"

namespace torvane::checker {

// A failure that ends a command; its message is shown to the user as it stands.
class CheckFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr std::string_view kLineRefusedMessage = "RichEdit での行の挿入エラー";

struct ReportSection {
  Stage stage;
  std::string_view header;  // UTF-8; 38 bytes in Shift_JIS
};

// Hardest stage first. Each non-empty list gives its header, its list line and an empty line,
// except the last section, which has no empty line after it.
inline constexpr std::array<ReportSection, 8> kReportSections = {{
    {Stage::Beyond, "  ----- 中学までに習わない(漢)字 -----"},
    {Stage::JuniorHigh, "  ------  中学三年間で習う漢字  ------"},
    {Stage::Grade6, "  ------   小学六年で習う漢字   ------"},
    {Stage::Grade5, "  ------   小学五年で習う漢字   ------"},
    {Stage::Grade4, "  ------   小学四年で習う漢字   ------"},
    {Stage::Grade3, "  ------   小学三年で習う漢字   ------"},
    {Stage::Grade2, "  ------   小学二年で習う漢字   ------"},
    {Stage::Grade1, "  ------   小学一年で習う漢字   ------"},
}};

// The entries joined by commas; an entry with a byte up to 0x20, a double quote or a comma is
// quoted, its double quotes doubled.
sjis::SjisText commaText(const std::vector<sjis::SjisChar>& entries);

// Removes the bytes up to 0x20 at the end of a line.
sjis::SjisText trimLineEnd(sjis::SjisText line);

// The report's lines in order, each already trimmed.
std::vector<sjis::SjisText> reportLines(const ResultLists& lists);

// Adds the report lines to the view's report box in one batch. Throws CheckFailure with
// kLineRefusedMessage when the box refuses a line.
void writeReport(CheckView& view, const ResultLists& lists);

// The summary: how many kinds of problem at how many places, or that there were none.
Message summaryMessage(const ResultLists& lists);

}  // namespace torvane::checker
