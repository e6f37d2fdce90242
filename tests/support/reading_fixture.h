// Checks a UTF-8 text and proposes readings, as the window and the command line do.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "checker/check_pass.h"
#include "checker/levels.h"
#include "checker/recording_view.h"
#include "reading/proposals.h"
#include "sjis/codec.h"
#include "tables/class_strings.h"

namespace torvane::testing {

inline const checker::Classifier& testClassifier() {
  static const tables::ClassStrings strings = tables::loadClassStrings();
  static const checker::Classifier classifier(strings);
  return classifier;
}

inline const reading::Analyzer& testAnalyzer() {
  static const reading::Analyzer analyzer = [] {
    auto opened = reading::Analyzer::open();
    if (auto* error = std::get_if<reading::AnalyzerError>(&opened))
      throw std::runtime_error(error->message);
    return std::move(std::get<reading::Analyzer>(opened));
  }();
  return analyzer;
}

// A text checked at a level, with everything the proposals need kept alive.
struct Checked {
  std::string utf8;
  sjis::EncodedText converted;
  std::vector<checker::Span> spans;

  Checked(std::string text, int level) : utf8(std::move(text)) {
    sjis::SjisEncoder encoder(sjis::LineBreaks::ToCrLf, true);
    if (encoder.appendUtf8(utf8)) throw std::runtime_error("invalid UTF-8 in a test text");
    converted = std::move(encoder).finish(static_cast<std::uint32_t>(utf8.size()));
    checker::RecordingView view(converted.text, level);
    checker::ResultLists lists;
    checker::runCheck(view, testClassifier(), lists);
    spans = view.spans().spans;
  }
  reading::CheckedText view() const { return {utf8, converted, spans}; }
  std::vector<reading::Proposal> propose() const {
    return reading::propose(testAnalyzer(), view(), testClassifier());
  }
};

}  // namespace torvane::testing
