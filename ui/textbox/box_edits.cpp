#include "ui/textbox/box_edits.h"

#include <QElapsedTimer>
#include <QTextDocument>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <new>

namespace torvane::ui {
namespace {

// A slice makes edits for about this long, then lets the event loop run.
constexpr qint64 kSliceMs = 10;
constexpr std::size_t kEditsAtOnce = 2000;

}  // namespace

QString boxEditFailureMessage(bool outOfMemory) {
  // No closing 。: the failure box ends the message with a full stop of its own.
  return outOfMemory
             ? QStringLiteral(
                   "上の欄に反映できませんでした（メモリが足りません）。上の欄は元のままです")
             : QStringLiteral("上の欄に反映できませんでした。上の欄は元のままです");
}

BoxEditJob::BoxEditJob(QTextDocument& document, Make make, bool onWorker, QObject* parent)
    : QObject(parent), cursor_(&document), make_(std::move(make)), onWorker_(onWorker) {}

BoxEditJob::~BoxEditJob() {
  // A window that closes mid-way keeps what is in; the edit block must not stay open.
  if (blockOpen_) cursor_.endEditBlock();
}

BoxEditJob::Made BoxEditJob::makeSafely(const Make& make) {
  try {
    return make();
  } catch (const std::bad_alloc&) {
    return boxEditFailureMessage(true);
  } catch (...) {
    return boxEditFailureMessage(false);
  }
}

void BoxEditJob::start() {
  if (!onWorker_) {
    take(makeSafely(make_));
    return;
  }
  connect(&making_, &QFutureWatcher<Made>::finished, this,
          [this] { take(making_.future().takeResult()); });
  making_.setFuture(QtConcurrent::run([make = std::move(make_)] { return makeSafely(make); }));
}

void BoxEditJob::take(Made made) {
  if (auto* message = std::get_if<QString>(&made)) {
    finished_ = true;
    Q_EMIT failed(*message);
    return;
  }
  edits_ = std::get<std::vector<BoxEdit>>(std::move(made));
  left_ = edits_.size();
  applySlice();
}

void BoxEditJob::abandon(bool outOfMemory) {
  cursor_.endEditBlock();
  blockOpen_ = false;
  finished_ = true;
  Q_EMIT failed(boxEditFailureMessage(outOfMemory));
}

void BoxEditJob::applySlice() {
  if (left_ == 0) {
    finished_ = true;
    Q_EMIT done(edits_.size());
    return;
  }
  // The first slice opens the step; every later one joins it.
  blockOpened_ ? cursor_.joinPreviousEditBlock() : cursor_.beginEditBlock();
  blockOpened_ = blockOpen_ = true;
  QElapsedTimer clock;
  clock.start();
  const bool atOnce = edits_.size() <= kEditsAtOnce;
  try {
    for (std::size_t made = 0; left_ > 0; ++made) {
      if (!atOnce && made % 64 == 0 && clock.elapsed() >= kSliceMs) break;
      const BoxEdit& edit = edits_[left_ - 1];
      cursor_.setPosition(edit.from);
      cursor_.setPosition(edit.to, QTextCursor::KeepAnchor);
      QTextCharFormat format = cursor_.charFormat();
      format.clearForeground();
      cursor_.insertText(edit.text, format);
      --left_;
    }
  } catch (const std::bad_alloc&) {
    abandon(true);
    return;
  } catch (...) {
    abandon(false);
    return;
  }
  cursor_.endEditBlock();
  blockOpen_ = false;
  if (left_ == 0) {
    finished_ = true;
    Q_EMIT done(edits_.size());
    return;
  }
  QTimer::singleShot(0, this, &BoxEditJob::applySlice);
}

}  // namespace torvane::ui
