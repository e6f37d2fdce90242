// Work that takes longer than the event loop may wait, done on a worker thread while the window
// stays live.
#pragma once

#include <QEventLoop>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <optional>
#include <type_traits>
#include <utility>

namespace torvane::ui {

// Runs `work` (which must own or share everything it reads) on a worker and the event loop
// until it is done. Nothing when the application quits first: the worker then finishes unseen.
template <class Work>
std::optional<std::invoke_result_t<Work>> runKeepingWindowLive(Work work) {
  using Result = std::invoke_result_t<Work>;
  QFutureWatcher<Result> watcher;
  QEventLoop waiting;
  QObject::connect(&watcher, &QFutureWatcherBase::finished, &waiting, &QEventLoop::quit);
  watcher.setFuture(QtConcurrent::run(std::move(work)));
  if (!watcher.isFinished()) waiting.exec();
  if (!watcher.isFinished()) return std::nullopt;
  return watcher.future().takeResult();
}

}  // namespace torvane::ui
