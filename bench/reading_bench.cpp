// Reading proposals: opening the analyser (start-up), and proposals and rewrite over a text of
// 1 MiB of Shift_JIS built from the evaluation sentences, checked at level -1 (every kanji red,
// the most proposals) and at level 2.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <variant>
#include <vector>

#include "checker/check_pass.h"
#include "checker/recording_view.h"
#include "eval_sentences.h"
#include "reading/reading_notes.h"
#include "rewriting/rewrite.h"
#include "sjis/codec.h"
#include "tables/class_strings.h"

namespace {

using namespace torvane;

std::size_t textBytes() {
  return std::getenv("TORVANE_BENCH_SMALL") != nullptr ? 64 * 1024 : 1024 * 1024;
}

std::string sentences(std::size_t bytes) {
  return bench::evaluationSentences(bytes);
}

const reading::Analyzer& analyzer() {
  static const reading::Analyzer a = std::get<reading::Analyzer>(reading::Analyzer::open());
  return a;
}

struct Prepared {
  std::string utf8;
  sjis::EncodedText converted;
  std::vector<checker::Span> spans;
};

Prepared prepare(int level) {
  static const tables::ClassStrings strings = tables::loadClassStrings();
  static const checker::Classifier classifier(strings);
  Prepared p;
  p.utf8 = sentences(textBytes());
  sjis::SjisEncoder encoder(sjis::LineBreaks::ToCrLf, true);
  encoder.appendUtf8(p.utf8);
  p.converted = std::move(encoder).finish(static_cast<std::uint32_t>(p.utf8.size()));
  checker::RecordingView view(p.converted.text, level);
  checker::ResultLists lists;
  checker::runCheck(view, classifier, lists);
  p.spans = view.spans().spans;
  return p;
}

void BM_OpenAnalyzer(benchmark::State& state) {
  for (auto _ : state) {
    auto opened = reading::Analyzer::open();
    benchmark::DoNotOptimize(opened);
  }
}
BENCHMARK(BM_OpenAnalyzer)->Unit(benchmark::kMillisecond);

// MeCab's share: the morphemes of the text, nothing joined or mapped.
void BM_Parse(benchmark::State& state) {
  const Prepared p = prepare(2);
  std::size_t count = 0;
  for (auto _ : state) {
    const auto morphemes = analyzer().parse(p.utf8);
    count = morphemes.size();
    benchmark::DoNotOptimize(morphemes.data());
  }
  state.counters["morphemes"] = static_cast<double>(count);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * p.converted.text.size()));
}
BENCHMARK(BM_Parse)->Unit(benchmark::kMillisecond);

void BM_Propose(benchmark::State& state) {
  static const tables::ClassStrings strings = tables::loadClassStrings();
  static const checker::Classifier classifier(strings);
  const Prepared p = prepare(static_cast<int>(state.range(0)));
  analyzer();
  std::size_t count = 0;
  for (auto _ : state) {
    const auto proposals = reading::propose(analyzer(), {p.utf8, p.converted, p.spans}, classifier);
    count = proposals.size();
    benchmark::DoNotOptimize(proposals.data());
  }
  state.counters["proposals"] = static_cast<double>(count);
  state.counters["sjis_bytes"] = static_cast<double>(p.converted.text.size());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * p.converted.text.size()));
}
BENCHMARK(BM_Propose)->Arg(-1)->Arg(2)->Unit(benchmark::kMillisecond);

// The reading notes of every kanji word at level 5 (the most kanji let pass below level 6): the
// words and their pieces made once, the judging alone timed.
void BM_ReadingNotes(benchmark::State& state) {
  static const tables::ClassStrings strings = tables::loadClassStrings();
  static const checker::Classifier classifier(strings);
  const Prepared p = prepare(5);
  const reading::CheckedText checked{p.utf8, p.converted, p.spans};
  const auto words =
      reading::propose(analyzer(), checked, classifier, reading::ProposalScope::EveryKanjiWord);
  std::size_t count = 0;
  for (auto _ : state) {
    const auto notes = reading::readingNotes(checked, words, 5);
    count = notes.size();
    benchmark::DoNotOptimize(notes.data());
  }
  state.counters["words"] = static_cast<double>(words.size());
  state.counters["notes"] = static_cast<double>(count);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * p.converted.text.size()));
}
BENCHMARK(BM_ReadingNotes)->Unit(benchmark::kMillisecond);

// The ruby pieces alone, the share of the proposals' time that aligning their readings takes.
void BM_AlignRuby(benchmark::State& state) {
  static const tables::ClassStrings strings = tables::loadClassStrings();
  static const checker::Classifier classifier(strings);
  const Prepared p = prepare(-1);
  const auto proposals = reading::propose(analyzer(), {p.utf8, p.converted, p.spans}, classifier);
  std::vector<std::vector<reading::WordChar>> words;
  for (const reading::Proposal& proposal : proposals)
    words.push_back(reading::wordChars(p.converted.text, proposal.offset, proposal.length));
  for (auto _ : state) {
    for (std::size_t i = 0; i < proposals.size(); ++i) {
      const auto pieces = reading::alignRuby(words[i], proposals[i].reading, proposals[i].offset);
      benchmark::DoNotOptimize(pieces.data());
    }
  }
  state.counters["proposals"] = static_cast<double>(proposals.size());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * p.converted.text.size()));
}
BENCHMARK(BM_AlignRuby)->Unit(benchmark::kMillisecond);

void BM_RewriteHtml(benchmark::State& state) {
  static const tables::ClassStrings strings = tables::loadClassStrings();
  static const checker::Classifier classifier(strings);
  const Prepared p = prepare(-1);
  const reading::CheckedText checked{p.utf8, p.converted, p.spans};
  const auto proposals = reading::propose(analyzer(), checked, classifier);
  const std::vector<reading::Mode> modes(proposals.size(), reading::Mode::Ruby);
  for (auto _ : state) {
    const std::string html = reading::rewrite(checked, proposals, modes, reading::Format::Html);
    benchmark::DoNotOptimize(html.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * p.converted.text.size()));
}
BENCHMARK(BM_RewriteHtml)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
