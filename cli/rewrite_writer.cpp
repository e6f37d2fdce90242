#include "cli/writers.h"

#include "documents/check_marks.h"
#include "documents/writers.h"
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

std::string writeDocument(const request::CheckResult& result, RewriteMode mode,
                          const documents::OpenedDocument* input, std::size_t& wordsLeftAlone) {
  const std::vector<reading::Proposal> none;
  const std::vector<reading::Proposal>& proposals = result.proposals ? *result.proposals : none;
  const std::vector<reading::Mode> modes(proposals.size(), reading::Mode::Ruby);
  const std::vector<checker::Span> spans = result.spans.unpacked();
  const documents::DocumentFormat format =
      mode == RewriteMode::Docx ? documents::DocumentFormat::Docx : documents::DocumentFormat::Odt;
  const bool roundTrip = input != nullptr && input->format == format;
  // The round trip changes the proposed words only; a new document shows every colour.
  const documents::Marks marks = documents::marksFor(
      result.checkedText(spans), proposals, modes,
      roundTrip ? documents::ColourScope::Words : documents::ColourScope::Outside);
  wordsLeftAlone = 0;
  if (roundTrip) {
    documents::RoundTrip written = documents::writeRoundTrip(*input, marks);
    wordsLeftAlone = written.wordsLeftAlone;
    return std::move(written.bytes);
  }
  return format == documents::DocumentFormat::Docx
             ? documents::writeNewDocx(result.text.utf8, marks)
             : documents::writeNewOdt(result.text.utf8, marks);
}

}  // namespace torvane::cli
