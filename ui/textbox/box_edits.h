// Edits written into the upper box as one undo step (the reading proposals written back): many
// thousands take longer than the window may keep its event loop waiting, so they are made on a
// worker and go in a slice at a time.
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <QTextCursor>

#include <functional>
#include <variant>
#include <vector>

class QTextDocument;

namespace torvane::ui {

// Replaces the document range [from, to) with `text`; an insertion when from == to.
struct BoxEdit {
  int from = 0;
  int to = 0;
  QString text;
  bool operator==(const BoxEdit&) const = default;
};

class BoxEditJob : public QObject {
  Q_OBJECT

 public:
  // Makes the edits (in document order, never overlapping); on a worker thread when asked, in
  // which case `make` must own everything it reads.
  using Make = std::function<std::vector<BoxEdit>()>;
  BoxEditJob(QTextDocument& document, Make make, bool onWorker, QObject* parent = nullptr);
  ~BoxEditJob() override;

  // May be over before it returns (done or failed emitted).
  void start();
  bool finished() const { return finished_; }
  // Whether the box was changed: what went in before a failure is one undo step to take back.
  bool touchedBox() const { return blockOpened_; }

 Q_SIGNALS:
  // The edits are in, from the last to the first so that the positions of those before stay
  // valid; inserted text takes its neighbour's format in black.
  void done(std::size_t edits);
  // The edits could not be made; the box is as it was. The message is for the failure box.
  void failed(const QString& message);

 private:
  using Made = std::variant<std::vector<BoxEdit>, QString>;  // the edits, or why not
  static Made makeSafely(const Make& make);
  void take(Made made);
  void applySlice();
  void abandon(bool outOfMemory);

  QTextCursor cursor_;
  Make make_;
  bool onWorker_;
  std::vector<BoxEdit> edits_;
  std::size_t left_ = 0;  // edits_[0, left_) are still to be made, the last first
  bool blockOpened_ = false;
  bool blockOpen_ = false;
  bool finished_ = false;
  QFutureWatcher<Made> making_;
};

// The message of edits that failed, for the failure box.
QString boxEditFailureMessage(bool outOfMemory);

}  // namespace torvane::ui
