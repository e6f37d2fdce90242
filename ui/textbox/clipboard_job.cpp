#include "ui/textbox/clipboard_job.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QtConcurrent/QtConcurrentRun>

#include <new>

namespace torvane::ui {
namespace {

// Copies in the order of the clicks: the latest one is what the clipboard ends up with, even
// when an earlier, longer one is ready after it.
unsigned long long latestTicket = 0;

}  // namespace

void putOnClipboard(ClipboardFormats formats) {
  ++latestTicket;
  QGuiApplication::clipboard()->setMimeData(mimeDataOf(std::move(formats)));
}

ClipboardJob* ClipboardJob::start(Build build, QString failureMessage) {
  return new ClipboardJob(std::move(build), std::move(failureMessage));
}

ClipboardJob::ClipboardJob(Build build, QString failureMessage)
    : QObject(QCoreApplication::instance()),
      failureMessage_(std::move(failureMessage)),
      ticket_(++latestTicket) {
  // Another program's copy, or one of ours made at once, is newer than this one.
  clipboardChanged_ = connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
                              [this] { superseded_ = true; });
  connect(&building_, &QFutureWatcher<Built>::finished, this, &ClipboardJob::finish);
  // A failure on the worker becomes a message: thrown out of a slot it would end the program.
  building_.setFuture(QtConcurrent::run([build = std::move(build)]() -> Built {
    try {
      return build();
    } catch (const std::bad_alloc&) {
      return QStringLiteral("メモリが足りません");
    } catch (...) {
      return QString();
    }
  }));
}

void ClipboardJob::finish() {
  disconnect(clipboardChanged_);
  Built built = building_.future().takeResult();
  deleteLater();
  if (auto* why = std::get_if<QString>(&built)) {
    Q_EMIT failed(why->isEmpty() ? failureMessage_
                                 : failureMessage_ + QStringLiteral("（") + *why + u'）');
    return;
  }
  const bool copied = !superseded_ && ticket_ == latestTicket;
  if (copied) {
    QGuiApplication::clipboard()->setMimeData(
        mimeDataOf(std::get<ClipboardFormats>(std::move(built))));
  }
  Q_EMIT done(copied);
}

}  // namespace torvane::ui
