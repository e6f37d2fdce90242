// The reading proposals dialog over 1 MiB of Shift_JIS prose checked at level -1 (every kanji
// red, the most proposals): the text's forms, the rows, opening the dialog (construction, first
// show and paint, one stretch of the event loop), and the copy and the writing into the box.
// The analyser's proposals are made once, outside the figures.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>

#include <cstdlib>
#include <memory>
#include <string>
#include <variant>

#include "eval_sentences.h"
#include "rewriting/proposal_rows.h"
#include "tables/class_strings.h"
#include "ui/app/application.h"
#include "ui/dialogs/readings/readings_dialog.h"

namespace {

using namespace torvane;

std::size_t textBytes() {
  return std::getenv("TORVANE_BENCH_SMALL") != nullptr ? 64 * 1024 : 1024 * 1024;
}

const checker::Classifier& classifier() {
  static const tables::ClassStrings strings = tables::loadClassStrings();
  static const checker::Classifier c(strings);
  return c;
}

QString sentences(std::size_t bytes) {
  return QString::fromStdString(bench::evaluationSentences(bytes));
}

struct Prepared {
  QString text;
  std::vector<reading::Proposal> proposals;
};

const Prepared& prepared() {
  static const Prepared p = [] {
    Prepared p;
    p.text = sentences(textBytes());
    auto opened = reading::Analyzer::open();
    if (std::holds_alternative<reading::AnalyzerError>(opened)) std::abort();
    const ui::CheckedBoxText checked = ui::CheckedBoxText::check(p.text, -1, classifier());
    p.proposals =
        reading::propose(std::get<reading::Analyzer>(opened), checked.view(), classifier());
    return p;
  }();
  return p;
}

void BM_CheckedBoxText(benchmark::State& state) {
  const Prepared& p = prepared();
  for (auto _ : state) {
    const ui::CheckedBoxText checked = ui::CheckedBoxText::check(p.text, -1, classifier());
    benchmark::DoNotOptimize(checked.view().utf8.data());
  }
  state.counters["chars"] = static_cast<double>(p.text.size());
}
BENCHMARK(BM_CheckedBoxText)->Unit(benchmark::kMillisecond);

void BM_GroupProposals(benchmark::State& state) {
  const Prepared& p = prepared();
  std::size_t rows = 0;
  for (auto _ : state) {
    const auto grouped = reading::groupProposals(p.proposals);
    rows = grouped.size();
    benchmark::DoNotOptimize(grouped.data());
  }
  state.counters["proposals"] = static_cast<double>(p.proposals.size());
  state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_GroupProposals)->Unit(benchmark::kMillisecond);

// What the window does between two runs of its event loop to open the dialog, given the text
// and the proposals: construct, show, and the first paint.
void BM_OpenDialog(benchmark::State& state) {
  const Prepared& p = prepared();
  QPlainTextEdit box;
  box.setPlainText(p.text);
  box.show();
  QCoreApplication::processEvents();
  for (auto _ : state) {
    state.PauseTiming();
    ui::CheckedBoxText checked =
        ui::CheckedBoxText::check(ui::checkedTextOf(*box.document()), -1, classifier());
    std::vector<reading::Proposal> proposals = p.proposals;
    state.ResumeTiming();
    auto dialog =
        std::make_unique<ui::ReadingsDialog>(std::move(checked), std::move(proposals), &box);
    dialog->show();
    QCoreApplication::processEvents();
    state.PauseTiming();
    dialog.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenDialog)->Unit(benchmark::kMillisecond);

void BM_CopyWithRuby(benchmark::State& state) {
  const Prepared& p = prepared();
  QPlainTextEdit box;
  ui::ReadingsDialog dialog(ui::CheckedBoxText::check(p.text, -1, classifier()), p.proposals, &box);
  for (auto _ : state) dialog.copyWithRuby();
}
BENCHMARK(BM_CopyWithRuby)->Unit(benchmark::kMillisecond);

void BM_ApplyToBox(benchmark::State& state) {
  const Prepared& p = prepared();
  for (auto _ : state) {
    state.PauseTiming();
    auto box = std::make_unique<QPlainTextEdit>();
    box->setPlainText(p.text);
    ui::ReadingsDialog dialog(
        ui::CheckedBoxText::check(ui::checkedTextOf(*box->document()), -1, classifier()),
        p.proposals, box.get());
    state.ResumeTiming();
    if (!dialog.applyToBox()) std::abort();
  }
}
BENCHMARK(BM_ApplyToBox)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ui::prepareApplication();
  QApplication application(argc, argv);
  ui::configureApplication(application);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
