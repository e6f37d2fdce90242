#include "cli/writers.h"

#include "rewriting/rewrite.h"

namespace torvane::cli {

void writeRewritten(OutputStream& out, const request::CheckResult& result, RewriteMode mode) {
  const std::vector<reading::Proposal> none;
  const std::vector<reading::Proposal>& proposals = result.proposals ? *result.proposals : none;
  const std::vector<reading::Mode> modes(
      proposals.size(), mode == RewriteMode::Kana ? reading::Mode::Kana : reading::Mode::Ruby);
  const reading::Format format =
      mode == RewriteMode::Html ? reading::Format::Html : reading::Format::Text;
  // Only the HTML page shows the check's colours.
  const std::vector<checker::Span> spans =
      format == reading::Format::Html ? result.spans.unpacked() : std::vector<checker::Span>{};
  out.write(reading::rewrite(result.checkedText(spans), proposals, modes, format));
}

}  // namespace torvane::cli
