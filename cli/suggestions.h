// What --suggest and --rewrite write: the reading proposals, or the text rewritten with them.
#pragma once

#include <span>

#include "cli/output.h"
#include "reading/proposals.h"

namespace torvane::cli {

// The key "suggestions" with one object per proposal; it follows the summary.
void writeJsonSuggestions(OutputStream& out, std::span<const reading::Proposal> proposals,
                          const sjis::SjisText& text);

}  // namespace torvane::cli
