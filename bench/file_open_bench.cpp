// Opening a 5 MB file into the window's upper box (a text file and a .docx of the same prose)
// and saving the box as a .docx: each timed from the command until the text is in or the file
// written, with the longest wait of the event loop meanwhile as a ping every millisecond sees
// it; the goal is no wait over 50 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdlib>
#include <string>

#include "documents/writers.h"
#include "eval_sentences.h"
#include "ui/app/application.h"
#include "ui/textbox/paste_box.h"
#include "ui/window/Unit1.h"
#include "ui/window/file_commands.h"

namespace {

using namespace torvane;

std::size_t textBytes() {
  return std::getenv("TORVANE_BENCH_SMALL") != nullptr ? 64 * 1024 : 5 * 1024 * 1024;
}

// Prose with CR LF paragraphs, as a document's text. Each paragraph starts with a number of its
// own, so that the package compresses as real prose does rather than as one sentence repeated.
const std::string& prose() {
  static const std::string text = [] {
    const std::string t = bench::evaluationSentences(textBytes());
    std::string out;
    int paragraph = 0;
    auto number = [&] { out += std::to_string(paragraph++ * 7919 % 100003) + "　"; };
    number();
    for (const char c : t) {
      if (c != '\n') {
        out += c;
        continue;
      }
      out += "\r\n";
      number();
    }
    return out;
  }();
  return text;
}

// The event loop pinged every millisecond, as from outside: the longest stretch between pings.
class EventGaps {
 public:
  EventGaps() {
    QObject::connect(&ping_, &QTimer::timeout, [this] { note(); });
    clock_.start();
    ping_.start(1);
  }
  void note() {
    longest_ = std::max(longest_, clock_.elapsed() - last_);
    last_ = clock_.elapsed();
  }
  double longestMs() {
    note();
    return static_cast<double>(longest_);
  }
  double elapsedMs() const { return static_cast<double>(clock_.nsecsElapsed()) / 1e6; }

 private:
  QElapsedTimer clock_;
  QTimer ping_;
  qint64 last_ = 0, longest_ = 0;
};

QString written(const QTemporaryDir& dir, const char* name, const std::string& bytes) {
  const QString path = dir.filePath(QLatin1String(name));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) std::abort();
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
  return path;
}

template <class Signal, class Command>
void timeCommand(benchmark::State& state, ui::FileCommands& files, Signal signal, Command command) {
  double gapMs = 0;
  for (auto _ : state) {
    bool done = false;
    QMetaObject::Connection seen = QObject::connect(&files, signal, [&](bool ok) {
      if (!ok) std::abort();
      done = true;
    });
    EventGaps gaps;
    command();
    while (!done) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    state.SetIterationTime(gaps.elapsedMs() / 1000);
    gapMs = gaps.longestMs();
    QObject::disconnect(seen);
  }
  state.counters["longest_gap_ms"] = gapMs;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * prose().size()));
}

void BM_OpenText(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = written(dir, "prose.txt", prose());
  TForm1 window;
  window.show();
  timeCommand(state, *window.files(), &ui::FileCommands::opened,
              [&] { window.files()->openFile(path); });
}
BENCHMARK(BM_OpenText)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_OpenDocx(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = written(dir, "prose.docx", documents::writeNewDocx(prose(), {}));
  TForm1 window;
  window.show();
  timeCommand(state, *window.files(), &ui::FileCommands::opened,
              [&] { window.files()->openFile(path); });
}
BENCHMARK(BM_OpenDocx)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_SaveDocx(benchmark::State& state) {
  QTemporaryDir dir;
  TForm1 window;
  window.show();
  window.RichEdit1->setPlainText(QString::fromStdString(prose()));
  const QString path = dir.filePath(QStringLiteral("saved.docx"));
  timeCommand(state, *window.files(), &ui::FileCommands::saved,
              [&] { window.files()->saveTo(path); });
}
BENCHMARK(BM_SaveDocx)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

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
