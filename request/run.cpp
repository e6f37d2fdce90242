#include "request/run.h"

#include <utility>
#include <variant>

#include "checker/check_pass_template.h"
#include "checker/table_sets.h"

namespace torvane::request {
namespace {

template <class SpanSink, class AnyClassifier>
checker::CheckRecord passWith(sjis::SjisText text, int level, const AnyClassifier& classifier,
                              checker::ResultLists& lists, SpanSink sink) {
  checker::BasicRecordingView<SpanSink> view(std::move(text), level, std::move(sink));
  checker::runCheckWith(view, classifier, lists);  // the view is final: no dispatch per call
  return view.record();
}

struct PackInto {
  PackedSpans* spans;
  void operator()(const checker::Span& span) { spans->push(span); }
};

// The check pass: the one place a request runs it. A plain check keeps no spans at all.
template <class AnyClassifier>
checker::CheckRecord checkPass(sjis::SjisText text, int level, const AnyClassifier& classifier,
                               checker::ResultLists& lists, PackedSpans* spans) {
  if (spans != nullptr) return passWith(std::move(text), level, classifier, lists, PackInto{spans});
  return passWith(std::move(text), level, classifier, lists, checker::NoSpans{});
}

reading::Analyzer openAnalyzer(std::vector<std::string>& warnings) {
  auto opened = reading::Analyzer::open();
  if (const auto* error = std::get_if<reading::AnalyzerError>(&opened)) {
    throw ReadingsUnavailable(error->message);
  }
  reading::Analyzer& analyzer = std::get<reading::Analyzer>(opened);
  if (const auto& problem = analyzer.userDictionaryProblem()) warnings.push_back(*problem);
  return std::move(analyzer);
}

}  // namespace

CheckResult run(InputText input, const CheckRequest& request) {
  reading::DecodedText decoded = decode(std::move(input), /*keepSource=*/request.proposals);

  CheckResult result;
  result.level = request.level;
  result.tables = request.tables;
  result.bytes = decoded.converted.text.size();

  // Opened before the check, so that a missing dictionary costs no check and shows nothing else.
  std::optional<reading::Analyzer> opened;
  const reading::Analyzer* analyzer = request.analyzer;
  if (request.proposals && analyzer == nullptr)
    analyzer = &opened.emplace(openAnalyzer(result.warnings));

  // Known kanji are a classifier of their own, made for the call from the set's.
  std::optional<checker::Classifier> taught;
  const checker::Classifier& classifier =
      request.settings && !request.settings->known.empty()
          ? taught.emplace(
                checker::classifierFor(request.tables).withKnown(request.settings->known))
          : checker::classifierFor(request.tables);
  if (request.tableChanges) result.tableChanges = checker::tableChanges(decoded.converted.text);
  if (request.settings) {
    const checker::AllowedWords words(request.settings->allowed);
    result.settings = {request.settings->known, request.settings->allowed,
                       words.find(decoded.converted.text)};
  }

  // The pass takes the text over unless the proposals still need it.
  sjis::SjisText checked =
      request.proposals ? decoded.converted.text : std::move(decoded.converted.text);
  const bool keepSpans = request.spans || request.proposals;
  PackedSpans* spans = keepSpans ? &result.spans : nullptr;
  if (result.settings && !result.settings->allowed.empty()) {
    const checker::AllowingClassifier<checker::Classifier> allowing(classifier,
                                                                    result.settings->allowed);
    result.record = checkPass(std::move(checked), request.level, allowing, result.lists, spans);
  } else {
    result.record = checkPass(std::move(checked), request.level, classifier, result.lists, spans);
  }

  if (request.proposals) {
    const std::vector<checker::Span> spans = result.spans.unpacked();
    result.proposals = reading::propose(
        *analyzer, reading::CheckedText{decoded.utf8, decoded.converted, spans}, classifier);
    result.text = std::move(decoded);
  }
  return result;
}

}  // namespace torvane::request
