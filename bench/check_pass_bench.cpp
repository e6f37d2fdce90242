// The check pass over a generated mixed text with a view that only counts, with the lookup
// tables and with the literal class-string searches side by side, and with either set of tables.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "checker/check_pass_template.h"
#include "checker/table_sets.h"
#include "mixed_text.h"
#include "support/literal_classifier.h"

namespace {

using namespace torvane;

// Counts what the pass asks of the window, so the work cannot be optimised away. Each kind of
// call has its own counter: one shared counter would chain every call through one memory slot.
class CountingView final : public checker::CheckView {
 public:
  explicit CountingView(const sjis::SjisText& text) : text_(text) {}
  std::size_t total() const { return events_ + progress_ + levels_ + spans_ + spanBytes_ + lines_; }

  const sjis::SjisText& text() override { return text_; }
  void setSelectionStart(std::size_t) override {}
  void setSelectionLength(std::size_t length) override { spanBytes_ += length; }
  void setSelectionColor(checker::TextColor) override { ++spans_; }
  void beginTextUpdate() override {}
  void endTextUpdate() override {}
  void beginReportUpdate() override {}
  void endReportUpdate() override {}
  void clearReport() override {}
  bool addReportLine(const sjis::SjisText&) override {
    ++lines_;
    return true;
  }
  int levelIndex() override {
    ++levels_;
    return 2;
  }
  void showProgress(const sjis::SjisChar&) override { ++progress_; }
  void setProgressVisible(bool) override {}
  bool processPendingEvents() override {
    ++events_;
    return true;
  }
  void showMessage(const checker::Message&) override {}

 private:
  const sjis::SjisText& text_;
  std::size_t events_ = 0, progress_ = 0, levels_ = 0, spans_ = 0, spanBytes_ = 0, lines_ = 0;
};

// TORVANE_BENCH_SMALL shrinks the texts for the smoke run in the test suite.
std::size_t textBytes(std::size_t full) {
  return std::getenv("TORVANE_BENCH_SMALL") != nullptr ? 64 * 1024 : full;
}

const tables::ClassStrings& classStrings(tables::TableSet set = tables::TableSet::Tables1989) {
  static const tables::ClassStrings strings1989 = tables::loadClassStrings();
  static const tables::ClassStrings strings2020 =
      tables::loadClassStrings(tables::TableSet::Tables2020);
  return set == tables::TableSet::Tables2020 ? strings2020 : strings1989;
}

enum class Dispatch { Direct, Virtual };

// The text is drawn from the built-in tables whatever the set, so the sets are timed on one text.
template <class Classifier>
void runPass(benchmark::State& state, std::size_t bytes, bench::Spread spread = bench::Spread::Zipf,
             Dispatch dispatch = Dispatch::Direct,
             tables::TableSet set = tables::TableSet::Tables1989) {
  const sjis::SjisText text = sjis::rawSjis(bench::mixedSjisText(classStrings(), bytes, spread));
  const Classifier classifier(classStrings(set));
  checker::ResultLists lists;
  for (auto _ : state) {
    CountingView view(text);
    if (dispatch == Dispatch::Direct) {
      checker::runCheckWith(view, classifier, lists);
    } else {
      using checker::runCheck;  // the literal classifier's overload is found beside its class
      runCheck(static_cast<checker::CheckView&>(view), classifier, lists);
    }
    benchmark::DoNotOptimize(view.total());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["problems"] = static_cast<double>(lists.ProblemOccurrences.size());
}

void BM_CheckPassLookup(benchmark::State& state) {
  runPass<checker::Classifier>(state, textBytes(10 << 20));
}

// The same text judged by the 2020 tables.
void BM_CheckPassLookup2020(benchmark::State& state) {
  runPass<checker::Classifier>(state, textBytes(10 << 20), bench::Spread::Zipf, Dispatch::Direct,
                               tables::TableSet::Tables2020);
}

// Building a set's class strings and lookup tables, done once for each set at start-up.
void BM_BuildClassifier(benchmark::State& state) {
  const auto set =
      state.range(0) == 2020 ? tables::TableSet::Tables2020 : tables::TableSet::Tables1989;
  for (auto _ : state) {
    const checker::Classifier classifier(tables::loadClassStrings(set));
    benchmark::DoNotOptimize(&classifier);
  }
}

// Choosing a set once both are built: the window's menu choice.
void BM_ChooseTableSet(benchmark::State& state) {
  checker::classifierFor(tables::TableSet::Tables1989);
  checker::classifierFor(tables::TableSet::Tables2020);
  bool newer = false;
  for (auto _ : state) {
    newer = !newer;
    benchmark::DoNotOptimize(&checker::classifierFor(newer ? tables::TableSet::Tables2020
                                                           : tables::TableSet::Tables1989));
  }
}

// Every character of a pool equally often: more cache misses than real text.
void BM_CheckPassLookupUniform(benchmark::State& state) {
  runPass<checker::Classifier>(state, textBytes(10 << 20), bench::Spread::Uniform);
}

// Through the CheckView interface, as the window calls it: a dispatch per call on the view.
void BM_CheckPassLookupVirtual(benchmark::State& state) {
  runPass<checker::Classifier>(state, textBytes(10 << 20), bench::Spread::Zipf, Dispatch::Virtual);
}

// The literal searches cost so much per character that a 1 MB text gives a steady figure.
void BM_CheckPassLiteral(benchmark::State& state) {
  runPass<testing::LiteralClassifier>(state, textBytes(1 << 20));
}

BENCHMARK(BM_CheckPassLookup)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckPassLookup2020)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildClassifier)->Arg(1989)->Arg(2020)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChooseTableSet);
BENCHMARK(BM_CheckPassLookupUniform)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckPassLookupVirtual)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckPassLiteral)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
