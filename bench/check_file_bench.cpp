// Reads a UTF-8 file and checks it in-process, as the command line will through the Unicode
// pass, and times it end to end: the first run with the tables built, then the best of the
// runs that follow. Its figures are read beside iconv's on the same file (bench/cli_vs_iconv.sh).
//   check_file_bench FILE [LEVEL] [RUNS]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <variant>

#include "checker/unicode_check.h"

namespace {

using namespace torvane;
using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string readFile(const char* name) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(name, "rb"), &std::fclose);
  if (!file) {
    std::perror(name);
    std::exit(2);
  }
  // One buffer of the file's size, as the command line reads a file.
  std::fseek(file.get(), 0, SEEK_END);
  std::string bytes(static_cast<std::size_t>(std::ftell(file.get())), '\0');
  std::rewind(file.get());
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
  return bytes;
}

struct Times {
  double read = 0, measure = 0, pass = 0;
  double total() const { return read + measure + pass; }
  std::size_t problems = 0;
  std::size_t sjisBytes = 0;
};

Times checkFile(const char* name, int level) {
  Times times;
  auto start = Clock::now();
  const std::string bytes = readFile(name);
  times.read = msSince(start);

  start = Clock::now();
  const auto input = checker::utf8Input(bytes);
  if (const auto* bad = std::get_if<sjis::InvalidUtf8>(&input)) {
    std::fprintf(stderr, "invalid UTF-8 at byte offset %zu\n", bad->offset);
    std::exit(2);
  }
  const auto& text = std::get<sjis::MeasuredUtf8>(input);
  times.measure = msSince(start);

  start = Clock::now();
  checker::ResultLists lists;
  const auto checked =
      checker::checkUtf8(text, level, tables::TableSet::Tables1989, lists, checker::NoSpans{});
  times.pass = msSince(start);
  times.problems = lists.ProblemOccurrences.size();
  times.sjisBytes = text.sjisSize();
  if (!checked.record.summary) std::exit(3);
  return times;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: check_file_bench FILE [LEVEL] [RUNS]\n");
    return 2;
  }
  const int level = argc > 2 ? std::atoi(argv[2]) : 0;
  const int runs = argc > 3 ? std::atoi(argv[3]) : 11;

  auto start = Clock::now();
  checker::unicodeClassifierFor(tables::TableSet::Tables1989);
  checker::UniquenessKeys::get();
  const double tables = msSince(start);
  const Times first = checkFile(argv[1], level);

  Times best = checkFile(argv[1], level);
  for (int run = 1; run < runs; ++run) {
    const Times t = checkFile(argv[1], level);
    if (t.total() < best.total()) best = t;
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("tables built: %.1f ms; first check %.1f ms\n", tables, first.total());
  std::printf(
      "best of %d: %.1f ms (read %.1f, measure %.1f, pass %.1f); %zu Shift_JIS bytes, "
      "%zu problems; peak %ld KB\n",
      runs, best.total(), best.read, best.measure, best.pass, best.sjisBytes, best.problems,
      usage.ru_maxrss);
  return 0;
}
