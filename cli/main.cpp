// torvane-check: the check on a file or on standard input, for scripts, editors and tests.
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "checker/check_pass_template.h"
#include "checker/recording_view.h"
#include "cli/input.h"
#include "cli/options.h"
#include "cli/output.h"
#include "sjis/codec.h"
#include "tables/class_strings.h"

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
checker::CheckRecord runPass(sjis::SjisText text, int level, checker::ResultLists& lists,
                             SpanSink sink) {
  static const tables::ClassStrings classStrings = tables::loadClassStrings();
  static const checker::Classifier classifier(classStrings);
  checker::BasicRecordingView<SpanSink> view(std::move(text), level, std::move(sink));
  checker::runCheckWith(view, classifier, lists);  // the view is final: no dispatch per call
  return view.record();
}

int check(const cli::Options& options) {
  // Every input error surfaces here, before anything is written to standard output.
  sjis::SjisText text = cli::toSjisText(cli::readInput(options.file), options.encoding);

  cli::OutputStream out(stdout);
  checker::ResultLists lists;
  if (options.json) {
    cli::writeJsonHead(out, options.level, text.size());
    const auto record = runPass(std::move(text), options.level, lists, cli::JsonSpanWriter(out));
    cli::writeJsonTail(out, record, lists);
  } else {
    const auto record = runPass(std::move(text), options.level, lists, checker::NoSpans{});
    cli::writePlain(out, record);
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
