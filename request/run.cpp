#include "request/run.h"

#include <algorithm>
#include <functional>
#include <utility>
#include <variant>

#include "checker/check_pass_template.h"
#include "checker/table_sets.h"
#include "checker/unicode_check.h"
#include "sjis/codec.h"

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

// A UTF-8 text that needs nothing but the check is classified from its code points, without
// converting it: the same record, lists and spans as the pass over the converted text.
CheckResult runOnUnicode(const InputText& input, const CheckRequest& request) {
  auto measured = checker::utf8Input(input.bytes);
  if (const auto* invalid = std::get_if<sjis::InvalidUtf8>(&measured)) {
    throw InputError("invalid UTF-8 at byte offset " + std::to_string(invalid->offset));
  }
  const sjis::MeasuredUtf8& text = std::get<sjis::MeasuredUtf8>(measured);

  CheckResult result;
  result.level = request.level;
  result.tables = request.tables;
  result.bytes = text.sjisSize();
  if (request.spans) {
    result.record = checker::checkUtf8(text, request.level, request.tables, result.lists,
                                       PackInto{&result.spans})
                        .record;
  } else {
    result.record =
        checker::checkUtf8(text, request.level, request.tables, result.lists, checker::NoSpans{})
            .record;
  }
  return result;
}

std::function<bool(std::size_t)> exemptBySettings(const CheckResult& result,
                                                  const sjis::SjisText& text) {
  if (!result.settings) return {};
  return reading::exemptByClassSettings(text, result.settings->known, result.settings->allowed);
}

}  // namespace

CheckResult run(InputText input, const CheckRequest& request) {
  if (input.encoding == InputText::Encoding::Utf8 && !request.proposals && !request.tableChanges &&
      !request.settings && !request.readingNotes)
    return runOnUnicode(input, request);

  const bool readsWords = request.proposals || request.readingNotes;
  reading::DecodedText decoded = decode(std::move(input), /*keepSource=*/readsWords);

  CheckResult result;
  result.level = request.level;
  result.tables = request.tables;
  result.bytes = decoded.converted.text.size();

  // Opened before the check, so that a missing dictionary costs no check and shows nothing else.
  std::optional<reading::Analyzer> opened;
  const reading::Analyzer* analyzer = request.analyzer;
  if (readsWords && analyzer == nullptr) analyzer = &opened.emplace(openAnalyzer(result.warnings));

  // Known kanji are a classifier of their own, made for the call from the set's.
  std::optional<checker::Classifier> taught;
  const checker::Classifier& classifier =
      request.settings && !request.settings->known.empty()
          ? taught.emplace(
                checker::classifierFor(request.tables).withKnown(request.settings->known))
          : checker::classifierFor(request.tables);
  if (request.tableChanges) result.tableChanges = checker::tableChanges(decoded.converted.text);
  if (request.settings) result.settings = {request.settings->known, request.settings->allowed, {}};

  // The pass takes the text over unless the words still need it.
  sjis::SjisText checked = readsWords ? decoded.converted.text : std::move(decoded.converted.text);
  const bool keepSpans = request.spans || readsWords;
  PackedSpans* spans = keepSpans ? &result.spans : nullptr;
  const checker::AllowedWords words = request.settings
                                         ? checker::AllowedWords(request.settings->allowed)
                                         : checker::AllowedWords();
  if (!words.empty()) {
    // The pass finds the words as it goes; the result says where they stood.
    const checker::AllowingClassifier<checker::Classifier> allowing(classifier, words);
    result.record = checkPass(std::move(checked), request.level, allowing, result.lists, spans);
    result.settings->allowed = allowing.occurrences();
  } else {
    result.record = checkPass(std::move(checked), request.level, classifier, result.lists, spans);
  }

  if (readsWords) {
    const std::vector<checker::Span> spans = result.spans.unpacked();
    const reading::CheckedText checkedText{decoded.utf8, decoded.converted, spans};
    std::vector<reading::Proposal> words =
        reading::propose(*analyzer, checkedText, classifier,
                         request.readingNotes ? reading::ProposalScope::EveryKanjiWord
                                              : reading::ProposalScope::RedKanjiWords);
    if (request.readingNotes) {
      result.readingNotes = reading::readingNotes(checkedText, words, request.level,
                                                  exemptBySettings(result, decoded.converted.text));
      std::erase_if(words, [&](const reading::Proposal& p) {
        return !reading::holdsRedKanji(p, classifier);
      });
    }
    if (request.proposals) result.proposals = std::move(words);
    result.text = std::move(decoded);
  }
  return result;
}

}  // namespace torvane::request
