// torvane-check's JSON output with reading proposals, from the request to the last byte written
// (to /dev/null), over a text that holds many characters outside Shift_JIS: 鷗が飛ぶ。 a line.
// The JSON writer once scanned every such character for each word: 100,000 lines took 10 s
// where the rewrite of the same text took 0.4 s. Its smoke run keeps the full size under a
// CTest timeout that the quadratic writer overran many times over.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "cli/writers.h"
#include "request/run.h"

namespace {

using namespace torvane;

std::string foreignKanjiLines(std::size_t lines) {
  std::string text;
  text.reserve(lines * 16);
  for (std::size_t i = 0; i < lines; ++i) text += "鷗が飛ぶ。\n";
  return text;
}

void BM_JsonSuggestionsOfForeignKanji(benchmark::State& state) {
  const std::string text = foreignKanjiLines(static_cast<std::size_t>(state.range(0)));
  auto opened = reading::Analyzer::open();
  const reading::Analyzer& analyzer = std::get<reading::Analyzer>(opened);
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> sink(std::fopen("/dev/null", "wb"),
                                                             &std::fclose);
  const request::CheckRequest request{
      .level = 2, .spans = true, .proposals = true, .analyzer = &analyzer};
  for (auto _ : state) {
    const request::CheckResult result = request::run(request::InputText::utf8(text), request);
    cli::OutputStream out(sink.get());
    cli::writeJson(out, result);
    if (!out.finish()) state.SkipWithError("cannot write to /dev/null");
    benchmark::DoNotOptimize(result.proposals->size());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_JsonSuggestionsOfForeignKanji)
    ->Arg(100000)
    ->Arg(300000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
