// torvane-check: the check on a file or on standard input, for scripts, editors and tests.
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "checker/check_pass_template.h"
#include "checker/recording_view.h"
#include "checker/table_changes.h"
#include "checker/table_sets.h"
#include "cli/input.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/suggestions.h"
#include "rewriting/rewrite.h"
#include "sjis/codec.h"

namespace {

using namespace torvane;

constexpr int kNoProblem = 0;
constexpr int kProblemsFound = 1;
constexpr int kUsageOrInputError = 2;

// Allocates nothing, so it also serves when memory has run out.
int fail(std::string_view message) {
  std::fprintf(stderr, "torvane-check: %.*s\n", static_cast<int>(message.size()), message.data());
  return kUsageOrInputError;
}

constexpr std::string_view kCannotWrite = "cannot write the output";

bool writeOut(std::string_view text) {
  return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
         std::fflush(stdout) == 0;
}

template <class SpanSink>
checker::CheckRecord runPass(sjis::SjisText text, const cli::Options& options,
                             checker::ResultLists& lists, SpanSink sink) {
  const checker::Classifier& classifier = checker::classifierFor(options.tables);
  checker::BasicRecordingView<SpanSink> view(std::move(text), options.level, std::move(sink));
  checker::runCheckWith(view, classifier, lists);  // the view is final: no dispatch per call
  return view.record();
}

// Keeps the colour changes for the proposals while passing them on.
template <class Next>
struct KeepSpans {
  Next next;
  std::vector<checker::Span>* kept;
  void operator()(const checker::Span& span) {
    next(span);
    kept->push_back(span);
  }
};

// The check with reading proposals: the dictionary is opened before anything is written, so a
// missing dictionary leaves standard output empty.
int checkWithReadings(const cli::Options& options) {
  const reading::DecodedText mapped =
      cli::toMappedText(cli::readInput(options.file), options.encoding);
  auto opened = reading::Analyzer::open();
  if (const auto* error = std::get_if<reading::AnalyzerError>(&opened)) {
    return fail(error->message);
  }
  const reading::Analyzer& analyzer = std::get<reading::Analyzer>(opened);
  if (const auto& problem = analyzer.userDictionaryProblem()) {
    std::fprintf(stderr, "torvane-check: warning: %s\n", problem->c_str());
  }

  cli::OutputStream out(stdout);
  checker::ResultLists lists;
  std::vector<checker::Span> spans;
  const sjis::SjisText& text = mapped.converted.text;
  const std::vector<checker::TableChange> changes =
      options.compareTables ? checker::tableChanges(text) : std::vector<checker::TableChange>{};
  checker::CheckRecord record;
  if (options.json) {
    cli::writeJsonHead(out, options.level, options.tables, text.size());
    record = runPass(text, options, lists,
                     KeepSpans<cli::JsonSpanWriter>{cli::JsonSpanWriter(out), &spans});
    cli::writeJsonTail(out, record, lists);
    if (options.compareTables) cli::writeJsonTableChanges(out, changes);
  } else {
    record = runPass(text, options, lists, KeepSpans<checker::NoSpans>{{}, &spans});
  }
  const reading::CheckedText checked{mapped.utf8, mapped.converted, spans};
  const std::vector<reading::Proposal> proposals =
      reading::propose(analyzer, checked, checker::classifierFor(options.tables));

  if (options.json) {
    cli::writeJsonSuggestions(out, proposals, text);
    cli::writeJsonEnd(out);
  } else if (options.rewrite == cli::RewriteMode::None) {
    cli::writePlain(out, record);
    if (options.compareTables) cli::writePlainTableChanges(out, changes);
  } else {
    const reading::Mode mode =
        options.rewrite == cli::RewriteMode::Kana ? reading::Mode::Kana : reading::Mode::Ruby;
    const std::vector<reading::Mode> modes(proposals.size(), mode);
    const reading::Format format =
        options.rewrite == cli::RewriteMode::Html ? reading::Format::Html : reading::Format::Text;
    out.buffer() += reading::rewrite(checked, proposals, modes, format);
  }
  if (!out.finish()) return fail("cannot write the output");
  return lists.ProblemOccurrences.empty() ? kNoProblem : kProblemsFound;
}

int check(const cli::Options& options) {
  if (options.suggest || options.rewrite != cli::RewriteMode::None) {
    return checkWithReadings(options);
  }
  // Every input error surfaces here, before anything is written to standard output.
  sjis::SjisText text = cli::toSjisText(cli::readInput(options.file), options.encoding);
  // Worked out before the pass takes the text over.
  const std::vector<checker::TableChange> changes =
      options.compareTables ? checker::tableChanges(text) : std::vector<checker::TableChange>{};

  cli::OutputStream out(stdout);
  checker::ResultLists lists;
  if (options.json) {
    cli::writeJsonHead(out, options.level, options.tables, text.size());
    const auto record = runPass(std::move(text), options, lists, cli::JsonSpanWriter(out));
    cli::writeJsonTail(out, record, lists);
    if (options.compareTables) cli::writeJsonTableChanges(out, changes);
    cli::writeJsonEnd(out);
  } else {
    const auto record = runPass(std::move(text), options, lists, checker::NoSpans{});
    cli::writePlain(out, record);
    if (options.compareTables) cli::writePlainTableChanges(out, changes);
  }
  if (!out.finish()) return fail(kCannotWrite);
  return lists.ProblemOccurrences.empty() ? kNoProblem : kProblemsFound;
}

int run(const std::vector<std::string_view>& args) {
  const cli::ParsedCommandLine parsed = cli::parseCommandLine(args);
  if (const auto* error = std::get_if<cli::UsageError>(&parsed)) {
    return fail(error->message + " (see torvane-check --help)");
  }
  if (std::holds_alternative<cli::ShowHelp>(parsed)) {
    return writeOut(cli::kUsage) ? kNoProblem : fail(kCannotWrite);
  }
  if (std::holds_alternative<cli::ShowVersion>(parsed)) {
    return writeOut("torvane-check " TORVANE_VERSION "\n") ? kNoProblem : fail(kCannotWrite);
  }
  return check(std::get<cli::Options>(parsed));
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return run(std::vector<std::string_view>(argv + 1, argv + argc));
  } catch (const std::bad_alloc&) {
    // Input and output grow with the text; a text too large for the memory at hand ends here.
    return fail("out of memory");
  } catch (const std::exception& e) {
    return fail(e.what());
  }
}
