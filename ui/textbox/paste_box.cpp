#include "ui/textbox/paste_box.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextCursor>

#include "ui/textbox/clipboard_html.h"
#include "ui/textbox/clipboard_job.h"

namespace torvane::ui {
namespace {

// Up to this many characters the copy's forms are built at once, in a few milliseconds.
constexpr qsizetype kCopyAtOnce = 8192;

QString copyFailureMessage() {
  return QStringLiteral("コピーできませんでした");
}

}  // namespace

PasteBox::PasteBox(QWidget* parent) : QPlainTextEdit(parent) {
  connect(document(), &QTextDocument::contentsChange, this, &PasteBox::contentsChanged);
}
PasteBox::~PasteBox() = default;

bool PasteBox::isPasting() const {
  return (paste_ != nullptr && !paste_->finished()) || (edits_ != nullptr && !edits_->finished());
}

void PasteBox::applyEdits(BoxEditJob::Make make, bool onWorker,
                          std::function<void(std::size_t edits)> afterwards) {
  if (isPasting()) return;
  setReadOnly(true);
  // The job before may be the sender of the signal that runs now.
  if (edits_) edits_.release()->deleteLater();
  edits_ = std::make_unique<BoxEditJob>(*document(), std::move(make), onWorker);
  BoxEditJob* job = edits_.get();
  connect(job, &BoxEditJob::done, this, [this, afterwards](std::size_t edits) {
    setReadOnly(false);
    if (afterwards) afterwards(edits);
  });
  connect(job, &BoxEditJob::failed, this, [this, job](const QString& message) {
    setReadOnly(false);
    if (job->touchedBox()) undoKeepingColourStep();
    Q_EMIT failed(message);
  });
  job->start();
}

void PasteBox::startPaste(QTextCursor cursor, const QMimeData& source,
                          const QTextCharFormat& plainFormat, PasteJob::Prepare prepare,
                          std::function<void()> afterwards) {
  setReadOnly(true);  // nothing else edits the text until the paste is in
  // The job before may be the sender of the signal that runs now.
  if (paste_) paste_.release()->deleteLater();
  paste_ = std::make_unique<PasteJob>(std::move(cursor), source, plainFormat, std::move(prepare),
                                      parseHtml_);
  PasteJob* job = paste_.get();
  connect(job, &PasteJob::done, this, [this, afterwards](const QTextCursor& end) {
    setReadOnly(false);
    setTextCursor(end);
    ensureCursorVisible();
    if (afterwards) afterwards();
    Q_EMIT pasteFinished();
  });
  connect(job, &PasteJob::failed, this, [this, job](const QString& message) {
    setReadOnly(false);
    if (job->touchedBox()) undoKeepingColourStep();
    Q_EMIT failed(message);
  });
  job->start();
}

void PasteBox::replaceAllWithClipboard(std::function<void()> afterwards) {
  replaceAll(QGuiApplication::clipboard()->mimeData(), std::move(afterwards));
}

void PasteBox::replaceAllWithText(const QString& text, std::function<void()> afterwards) {
  QMimeData source;  // the paste takes its text at once
  source.setText(text);
  replaceAll(&source, std::move(afterwards));
}

void PasteBox::replaceAll(const QMimeData* source, std::function<void()> afterwards) {
  if (isPasting()) return;
  QTextCharFormat black = currentCharFormat();
  black.setForeground(QColor(0, 0, 0));
  auto clearOldText = [black](QTextCursor& cursor) {
    cursor.select(QTextCursor::Document);
    cursor.mergeCharFormat(black);
    cursor.removeSelectedText();
    // The old text's colours do not carry over to what is pasted.
    cursor.setBlockCharFormat(black);
    cursor.setCharFormat(black);
  };
  if (source == nullptr) {
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    clearOldText(cursor);
    cursor.endEditBlock();
    setTextCursor(cursor);
    if (afterwards) afterwards();
    return;
  }
  // The old text goes only once the new one is ready.
  startPaste(QTextCursor(document()), *source, black, clearOldText, std::move(afterwards));
}

void PasteBox::copySelection() {
  const QTextCursor selection = textCursor();
  if (!selection.hasSelection() || isPasting()) return;  // half a text is no copy
  try {
    CopySnapshot snapshot = snapshotForCopy(selection, font());
    if (snapshot.text.size() <= kCopyAtOnce) {
      putOnClipboard(formatsForCopy(snapshot));
      Q_EMIT copyFinished();
      return;
    }
    // The snapshot is the box as it is now: the clipboard gets that, whatever happens to the
    // box while the forms are built.
    ClipboardJob* job =
        ClipboardJob::start([snapshot = std::move(snapshot)] { return formatsForCopy(snapshot); },
                            copyFailureMessage());
    connect(job, &ClipboardJob::done, this, &PasteBox::copyFinished);
    connect(job, &ClipboardJob::failed, this, &PasteBox::failed);
  } catch (const std::bad_alloc&) {
    Q_EMIT failed(copyFailureMessage() + QStringLiteral("（メモリが足りません）"));
  }
}

int PasteBox::undoSteps() const {
  return document()->availableUndoSteps();
}

void PasteBox::joinColours(QTextCursor& cursor) {
  if (colourStep_ && colourStep_->after < 0) {  // a later slice of the same check
    cursor.joinPreviousEditBlock();
    return;
  }
  // Switching undo off drops the history, so it is switched off only when there is none.
  const bool history = document()->availableUndoSteps() > 0 || document()->availableRedoSteps() > 0;
  // The colours of checks in a row make one step, not a step each.
  const bool onTop = colourStepOnTop();
  colourStep_ = ColourStep{onTop ? colourStep_->before : undoSteps(), -1};
  if (!history) document()->setUndoRedoEnabled(false);
  onTop ? cursor.joinPreviousEditBlock() : cursor.beginEditBlock();
}

void PasteBox::endColours() {
  if (!colourStep_ || colourStep_->after >= 0) return;
  if (!document()->isUndoRedoEnabled()) {  // colours are no edit: there is no step to pass over
    document()->setUndoRedoEnabled(true);
    colourStep_.reset();
    return;
  }
  colourStep_->after = undoSteps();
}

void PasteBox::contentsChanged() {
  // An edit that lands at or below the colour step has cleared it from the history.
  if (colourStep_ && colourStep_->after >= 0 && undoSteps() <= colourStep_->after) {
    colourStep_.reset();
  }
}

void PasteBox::undoKeepingColourStep() {
  const std::optional<ColourStep> step = colourStep_;
  undo();
  colourStep_ = step;
}

void PasteBox::undoEdit() {
  if (isReadOnly()) return;
  const std::optional<ColourStep> step = colourStep_;
  if (colourStepOnTop()) undo();
  undo();
  colourStep_ = step;
}

void PasteBox::redoEdit() {
  if (isReadOnly()) return;
  const std::optional<ColourStep> step = colourStep_;
  redo();
  if (step && undoSteps() == step->before) redo();
  colourStep_ = step;
}

// The copy takes its snapshot first, so the text removed is the text copied.
void PasteBox::cutSelection() {
  if (isReadOnly() || !textCursor().hasSelection()) return;
  copySelection();
  textCursor().removeSelectedText();
}

void PasteBox::keyPressEvent(QKeyEvent* event) {
  if (event == QKeySequence::Undo) {
    undoEdit();
    event->accept();
  } else if (event == QKeySequence::Redo) {
    redoEdit();
    event->accept();
  } else if (event == QKeySequence::Copy) {
    copySelection();
    event->accept();
  } else if (event == QKeySequence::Cut) {
    cutSelection();
    event->accept();
  } else {
    QPlainTextEdit::keyPressEvent(event);
  }
}

void PasteBox::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu(event->pos());
  for (QAction* action : menu->actions()) {
    if (action->objectName() == QLatin1String("edit-undo")) {
      action->disconnect();
      connect(action, &QAction::triggered, this, &PasteBox::undoEdit);
    } else if (action->objectName() == QLatin1String("edit-redo")) {
      action->disconnect();
      connect(action, &QAction::triggered, this, &PasteBox::redoEdit);
    } else if (action->objectName() == QLatin1String("edit-copy")) {
      action->disconnect();
      connect(action, &QAction::triggered, this, &PasteBox::copySelection);
    } else if (action->objectName() == QLatin1String("edit-cut")) {
      action->disconnect();
      connect(action, &QAction::triggered, this, &PasteBox::cutSelection);
    }
  }
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

namespace {

// The one local file a drop holds, or nothing.
QString droppedFile(const QMimeData* source) {
  if (!source->hasUrls() || source->urls().size() != 1) return {};
  const QUrl url = source->urls().constFirst();
  return url.isLocalFile() ? url.toLocalFile() : QString();
}

}  // namespace

bool PasteBox::canInsertFromMimeData(const QMimeData* source) const {
  return !droppedFile(source).isEmpty() || source->hasHtml() || source->hasText();
}

void PasteBox::dropEvent(QDropEvent* event) {
  if (const QString file = droppedFile(event->mimeData()); !file.isEmpty()) {
    event->acceptProposedAction();
    Q_EMIT fileDropped(file);
    return;
  }
  QPlainTextEdit::dropEvent(event);
}

void PasteBox::insertFromMimeData(const QMimeData* source) {
  if (isPasting()) return;
  startPaste(textCursor(), *source, currentCharFormat(), {}, {});  // plain text: the box's format
}

// Colours, tabs and runs of spaces in a form word processors keep, and the box's font named.
// Qt asks for this at once for the X11 selection and for a drag, so each form is built only
// when a reader asks for it.
QMimeData* PasteBox::createMimeDataFromSelection() const {
  return mimeDataOnRequest(textCursor(), font());
}

// Nothing the text names is ever loaded into the box either.
QVariant PasteBox::loadResource(int, const QUrl&) {
  return {};
}

}  // namespace torvane::ui
