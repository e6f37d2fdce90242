// What torvane-check writes: the plain report and summary, or one JSON object.
#pragma once

#include <string>

#include "checker/recording_view.h"
#include "checker/result_list.h"

namespace torvane::cli {

struct CheckedText {
  int level = 0;
  std::size_t bytes = 0;
  const checker::CheckRecord& record;
  const checker::ResultLists& lists;
};

// The report lines as the lower box holds them, then the summary; UTF-8 with LF line ends.
std::string plainOutput(const CheckedText& checked);

// Every span after the reset to black, the progress count, the lists, the report and summary.
std::string jsonOutput(const CheckedText& checked);

}  // namespace torvane::cli
