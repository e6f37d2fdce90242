// Checking a 1 MB or 5 MB Shift_JIS text (about 500,000 characters a megabyte, mixed as in the
// pass benchmark), and 1 MB with every kanji after it, in the real window on the offscreen
// platform (or the one QT_QPA_PLATFORM names): from the press of "チェックする" to the summary box,
// which the benchmark answers. Also reports the time to load the text into the box and the
// longest gap between two runs of the event loop during the check, and how long the progress
// box stood still: its text unchanged while it was up, or hidden between its first showing and
// the summary.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTextCursor>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdlib>

#include "mixed_text.h"
#include "sjis/codec.h"
#include "ui/app/application.h"
#include "ui/window/Unit1.h"

namespace {

using namespace torvane;

QString mixedText(std::size_t bytes) {
  const tables::ClassStrings strings = tables::loadClassStrings();
  QString text =
      QString::fromStdString(sjis::toUtf8(sjis::rawSjis(bench::mixedSjisText(strings, bytes))));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

void BM_WindowCheck(benchmark::State& state) {
  const bool small = std::getenv("TORVANE_BENCH_SMALL") != nullptr;
  QString text = mixedText(small ? 32 * 1024 : static_cast<std::size_t>(state.range(0)) << 20);
  // With every kanji of the Unicode block: report lines of thousands of characters, most of
  // them outside the code page, whose glyphs the first check of a session looks up.
  if (state.range(1) != 0) {
    for (char16_t c = 0x4E00; c <= 0x9FA5; ++c) text += QChar(c);
  }
  double loadMs = 0, checkMs = 0, gapMs = 0, pingGapMs = 0;
  double firstProgressMs = 0, stillMs = 0, hiddenMs = 0;
  for (auto _ : state) {
    TForm1 window;
    window.show();
    QElapsedTimer clock;
    clock.start();
    window.RichEdit1->setPlainText(text);
    QCoreApplication::processEvents();
    loadMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;

    qint64 boxAt = -1;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        if (boxAt < 0) boxAt = clock.nsecsElapsed();
        box->defaultButton()->click();
      }
    });
    answer.start(1);
    // The event loop is pinged every millisecond, as from outside, until the summary is up;
    // each ping also looks at the progress box, as a user would.
    qint64 lastPing = 0, longestPingGap = 0;
    qint64 firstShown = -1, changedAt = -1, hiddenAt = -1, longestStill = 0, longestHidden = 0;
    QString shownText;
    QTimer ping;
    QObject::connect(&ping, &QTimer::timeout, [&] {
      if (boxAt >= 0) return;
      const qint64 now = clock.elapsed();
      longestPingGap = std::max(longestPingGap, now - lastPing);
      lastPing = now;
      const QLabel* progress = window.StaticText1;
      if (!progress->isVisible()) {
        if (changedAt >= 0) longestStill = std::max(longestStill, now - changedAt);
        changedAt = -1;
        if (firstShown >= 0 && hiddenAt < 0) hiddenAt = now;
        if (hiddenAt >= 0) longestHidden = std::max(longestHidden, now - hiddenAt);
        return;
      }
      if (firstShown < 0) firstShown = now;
      hiddenAt = -1;
      if (changedAt >= 0 && progress->text() == shownText) return;
      if (changedAt >= 0) longestStill = std::max(longestStill, now - changedAt);
      changedAt = now;
      shownText = progress->text();
    });
    ping.start(1);
    window.ComboBox1->setCurrentIndex(2);
    clock.restart();
    window.Button1Click();
    // The worst of the iterations: the first meets the glyphs for the first time.
    pingGapMs = std::max(pingGapMs, static_cast<double>(longestPingGap));
    firstProgressMs = static_cast<double>(firstShown);
    // Up to the summary counts too, the box standing still or down when it came.
    const qint64 boxMs = boxAt / 1000000;
    if (changedAt >= 0) longestStill = std::max(longestStill, boxMs - changedAt);
    if (hiddenAt >= 0) longestHidden = std::max(longestHidden, boxMs - hiddenAt);
    stillMs = std::max(stillMs, static_cast<double>(longestStill));
    hiddenMs = std::max(hiddenMs, static_cast<double>(longestHidden));
    checkMs = static_cast<double>(boxAt) / 1e6;
    gapMs = std::max(gapMs, static_cast<double>(window.lastCheckLongestEventGapMs()));
    state.SetIterationTime(checkMs / 1000);
  }
  state.counters["load_ms"] = loadMs;
  state.counters["check_ms"] = checkMs;
  state.counters["longest_gap_ms"] = gapMs;   // during the pass, as the pass sees it
  state.counters["ping_gap_ms"] = pingGapMs;  // from the press to the summary, as a ping sees it
  state.counters["first_progress_ms"] = firstProgressMs;  // from the press to the box up
  state.counters["progress_still_ms"] = stillMs;          // the box up, its text unchanged
  state.counters["progress_hidden_ms"] = hiddenMs;        // the box down before the summary
  state.counters["chars"] = static_cast<double>(text.size());
}

BENCHMARK(BM_WindowCheck)
    ->Args({1, 0})
    ->Args({5, 0})
    ->Args({1, 1})
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

// 「読み方も判定する」 on: the check at level 5 over 1 MiB of story sentences, then the reading
// notes (the text checked again and read on a worker, the report section, the underlines in
// slices), then a second check that takes the underlines off; the longest wait of the event loop
// over both, the summaries answered as they come.
void BM_WindowReadingNotes(benchmark::State& state) {
  const bool small = std::getenv("TORVANE_BENCH_SMALL") != nullptr;
  const QString unit = QStringLiteral(
      "今上天皇と生糸の話。学校の小川で、今日は上手に泳いだ。上人が来ない。人々は側に集まる。\n");
  QString text;
  while (static_cast<std::size_t>(text.size()) * 3 < (small ? 32u << 10 : 1u << 20)) text += unit;
  double totalMs = 0, gapMs = 0;
  for (auto _ : state) {
    TForm1 window;
    window.show();
    window.RichEdit1->setPlainText(text);
    window.setClassSettings({{}, {}, true});
    QCoreApplication::processEvents();
    QElapsedTimer clock;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
        box->defaultButton()->click();
    });
    answer.start(1);
    qint64 lastPing = 0, longest = 0;
    QTimer ping;
    QObject::connect(&ping, &QTimer::timeout, [&] {
      longest = std::max(longest, clock.elapsed() - lastPing);
      lastPing = clock.elapsed();
    });
    ping.start(1);
    window.ComboBox1->setCurrentIndex(5);
    clock.start();
    window.Button1Click();
    window.setClassSettings({});
    window.Button1Click();
    totalMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    gapMs = std::max(gapMs, static_cast<double>(longest));
    state.SetIterationTime(totalMs / 1000);
  }
  state.counters["both_checks_ms"] = totalMs;
  state.counters["ping_gap_ms"] = gapMs;
  state.counters["chars"] = static_cast<double>(text.size());
}
BENCHMARK(BM_WindowReadingNotes)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

// Pasting the text as plain text and as the HTML a browser puts on the clipboard, from the
// press of the button to the text shown, and the longest wait of the event loop meanwhile.
void BM_WindowPaste(benchmark::State& state) {
  const bool small = std::getenv("TORVANE_BENCH_SMALL") != nullptr;
  const QString text =
      mixedText(small ? 32 * 1024 : static_cast<std::size_t>(state.range(0)) << 20);
  const bool html = state.range(1) != 0;
  auto* mime = new QMimeData;
  if (html) {
    QString body = text.toHtmlEscaped();
    body.replace(QStringLiteral("\n"), QStringLiteral("</p><p>"));
    mime->setHtml(QStringLiteral("<meta charset='utf-8'><p>") + body + QStringLiteral("</p>"));
  } else {
    mime->setText(text);
  }
  QGuiApplication::clipboard()->setMimeData(mime);
  double pasteMs = 0, gapMs = 0;
  for (auto _ : state) {
    TForm1 window;
    window.show();
    QCoreApplication::processEvents();
    // The event loop is pinged every millisecond, as from outside, until the text is in.
    qint64 lastPing = 0, longestGap = 0;
    QElapsedTimer clock;
    QTimer ping;
    QObject::connect(&ping, &QTimer::timeout, [&] {
      longestGap = std::max(longestGap, clock.elapsed() - lastPing);
      lastPing = clock.elapsed();
    });
    ping.start(1);
    clock.start();
    window.Button4Click();
    longestGap = std::max(longestGap, clock.elapsed() - lastPing);
    while (window.RichEdit1->isPasting())
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    pasteMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    gapMs = static_cast<double>(longestGap);
    state.SetIterationTime(pasteMs / 1000);
  }
  state.counters["paste_ms"] = pasteMs;
  state.counters["longest_gap_ms"] = gapMs;
  state.counters["chars"] = static_cast<double>(text.size());
}

BENCHMARK(BM_WindowPaste)
    ->Args({1, 0})
    ->Args({5, 0})
    ->Args({5, 1})
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

// Copying 500,000 characters with every third one red, from the press of 「コピーする」 until
// the clipboard holds the copy, and the longest wait of the event loop meanwhile.
void BM_WindowCopy(benchmark::State& state) {
  const bool small = std::getenv("TORVANE_BENCH_SMALL") != nullptr;
  const qsizetype chars = small ? 20000 : 500000;
  QString text = mixedText(static_cast<std::size_t>(chars) * 2 + 4096).left(chars);
  double copyMs = 0, gapMs = 0;
  for (auto _ : state) {
    TForm1 window;
    window.show();
    window.RichEdit1->setPlainText(text);
    QTextCursor cursor(window.RichEdit1->document());
    QTextCharFormat red;
    red.setForeground(QColor(255, 0, 0));
    cursor.beginEditBlock();
    for (qsizetype i = 0; i + 1 < text.size(); i += 3) {
      cursor.setPosition(static_cast<int>(i));
      cursor.setPosition(static_cast<int>(i + 1), QTextCursor::KeepAnchor);
      cursor.mergeCharFormat(red);
    }
    cursor.endEditBlock();
    QGuiApplication::clipboard()->clear();
    QCoreApplication::processEvents();

    bool copied = false;
    QMetaObject::Connection changed =
        QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged,
                         [&] { copied = QGuiApplication::clipboard()->mimeData()->hasHtml(); });
    qint64 lastPing = 0, longestGap = 0;
    QElapsedTimer clock;
    QTimer ping;
    QObject::connect(&ping, &QTimer::timeout, [&] {
      longestGap = std::max(longestGap, clock.elapsed() - lastPing);
      lastPing = clock.elapsed();
    });
    ping.start(1);
    clock.start();
    window.Button3Click();
    longestGap = std::max(longestGap, clock.elapsed() - lastPing);
    while (!copied) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    longestGap = std::max(longestGap, clock.elapsed() - lastPing);
    QObject::disconnect(changed);
    copyMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    gapMs = static_cast<double>(longestGap);
    state.SetIterationTime(copyMs / 1000);
  }
  state.counters["copy_ms"] = copyMs;
  state.counters["longest_gap_ms"] = gapMs;
  state.counters["chars"] = static_cast<double>(text.size());
}

BENCHMARK(BM_WindowCopy)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The class settings a benchmark chooses go to a folder of its own, not the user's.
  QTemporaryDir settings;
  qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
  ui::prepareApplication();
  QApplication application(argc, argv);
  ui::configureApplication(application);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
