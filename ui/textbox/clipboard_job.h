// A copy whose forms take longer to build than the window may keep its event loop waiting: they
// are built on a worker thread from values the copy took at once, and go on the clipboard when
// they are ready.
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QString>

#include <functional>
#include <variant>

#include "ui/textbox/clipboard_html.h"

namespace torvane::ui {

class ClipboardJob : public QObject {
  Q_OBJECT

 public:
  // `build` runs on a worker and must own everything it reads.
  using Build = std::function<ClipboardFormats()>;

  // Starts building. The job deletes itself once it has said how it ended; the clipboard is
  // left alone when something newer was copied meanwhile, here or in another program.
  static ClipboardJob* start(Build build, QString failureMessage);

 Q_SIGNALS:
  // The forms are on the clipboard, or (copied false) something newer is.
  void done(bool copied);
  // The forms could not be built; the message is for the failure box, in Japanese.
  void failed(const QString& message);

 private:
  using Built = std::variant<ClipboardFormats, QString>;  // the forms, or why not
  ClipboardJob(Build build, QString failureMessage);
  void finish();

  QString failureMessage_;
  unsigned long long ticket_;
  bool superseded_ = false;
  QMetaObject::Connection clipboardChanged_;
  QFutureWatcher<Built> building_;
};

// Puts the formats on the clipboard now; a job still building gives way to them.
void putOnClipboard(ClipboardFormats formats);

}  // namespace torvane::ui
