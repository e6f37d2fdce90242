// torvane-check: the check on a file or on standard input, for scripts, editors and tests.
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "cli/input.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/writers.h"
#include "request/run.h"

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

// Shows the result in the form the options choose.
void write(cli::OutputStream& out, const request::CheckResult& result,
           const cli::Options& options) {
  if (options.json) {
    cli::writeJson(out, result);
  } else if (options.rewrite != cli::RewriteMode::None) {
    cli::writeRewritten(out, result, options.rewrite);
  } else {
    cli::writePlain(out, result);
  }
}

int check(const cli::Options& options) {
  // Every input error, and a missing dictionary, surfaces here, before anything is written.
  request::CheckRequest checkRequest = cli::requestFor(options);
  checkRequest.settings = cli::readClassSettings(options);
  const request::CheckResult result = request::run(cli::readInput(options), checkRequest);
  for (const std::string& warning : result.warnings) {
    std::fprintf(stderr, "torvane-check: warning: %s\n", warning.c_str());
  }
  cli::OutputStream out(stdout);
  write(out, result, options);
  if (!out.finish()) return fail(kCannotWrite);
  return result.foundProblems() ? kProblemsFound : kNoProblem;
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
