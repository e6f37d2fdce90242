#include "ui/textbox/paste_box.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextCursor>

#include "ui/textbox/clipboard_html.h"
#include "ui/textbox/paste_job.h"

namespace torvane::ui {
namespace {}  // namespace

PasteBox::PasteBox(QWidget* parent) : QPlainTextEdit(parent) {
  connect(document(), &QTextDocument::contentsChange, this, &PasteBox::contentsChanged);
}
PasteBox::~PasteBox() = default;

bool PasteBox::isPasting() const {
  return paste_ != nullptr && !paste_->finished();
}

void PasteBox::startPaste(QTextCursor cursor, const QMimeData& source,
                          const QTextCharFormat& plainFormat) {
  setReadOnly(true);  // nothing else edits the text until the paste is in
  paste_ = std::make_unique<PasteJob>(std::move(cursor), source, plainFormat);
  auto finish = [this](const QTextCursor& end) {
    setReadOnly(false);
    setTextCursor(end);
    ensureCursorVisible();
    Q_EMIT pasteFinished();
  };
  if (paste_->finished()) {
    finish(paste_->cursorAtEnd());
  } else {
    connect(paste_.get(), &PasteJob::done, this, finish);
  }
}

void PasteBox::replaceAllWithClipboard() {
  if (isPasting()) return;
  QTextCursor cursor(document());
  cursor.beginEditBlock();
  cursor.select(QTextCursor::Document);
  QTextCharFormat black = currentCharFormat();
  black.setForeground(QColor(0, 0, 0));
  cursor.mergeCharFormat(black);
  cursor.removeSelectedText();
  // The old text's colours do not carry over to what is pasted.
  cursor.setBlockCharFormat(black);
  cursor.setCharFormat(black);
  if (const QMimeData* source = QGuiApplication::clipboard()->mimeData()) {
    startPaste(std::move(cursor), *source, black);
  } else {
    cursor.endEditBlock();
    setTextCursor(cursor);
  }
}

int PasteBox::undoSteps() const {
  return document()->availableUndoSteps();
}

void PasteBox::noteColourStep(int before, int after) {
  colouring_ = false;
  colourMark_ = true;
  beforeColours_ = before;
  afterColours_ = after;
}

void PasteBox::contentsChanged() {
  // An edit that lands at or below the colour step has cleared it from the history.
  if (colourMark_ && !colouring_ && !undoingOrRedoing_ && undoSteps() <= afterColours_) {
    colourMark_ = false;
  }
}

void PasteBox::undoEdit() {
  if (isReadOnly()) return;
  undoingOrRedoing_ = true;
  if (colourStepOnTop()) undo();
  undo();
  undoingOrRedoing_ = false;
}

void PasteBox::redoEdit() {
  if (isReadOnly()) return;
  undoingOrRedoing_ = true;
  redo();
  if (colourMark_ && undoSteps() == beforeColours_) redo();
  undoingOrRedoing_ = false;
}

void PasteBox::keyPressEvent(QKeyEvent* event) {
  if (event == QKeySequence::Undo) {
    undoEdit();
    event->accept();
  } else if (event == QKeySequence::Redo) {
    redoEdit();
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
    }
  }
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

bool PasteBox::canInsertFromMimeData(const QMimeData* source) const {
  return source->hasHtml() || source->hasText();
}

void PasteBox::insertFromMimeData(const QMimeData* source) {
  if (isPasting()) return;
  QTextCursor cursor = textCursor();
  cursor.beginEditBlock();
  startPaste(std::move(cursor), *source, currentCharFormat());  // plain text: the box's format
}

// Colours, tabs and runs of spaces in a form word processors keep, and the box's font named.
QMimeData* PasteBox::createMimeDataFromSelection() const {
  return mimeDataForCopy(textCursor(), font());
}

// Nothing the text names is ever loaded into the box either.
QVariant PasteBox::loadResource(int, const QUrl&) {
  return {};
}

}  // namespace torvane::ui
