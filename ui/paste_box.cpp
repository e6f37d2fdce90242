#include "ui/paste_box.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QGuiApplication>
#include <QMimeData>
#include <QTextCursor>

#include "ui/clipboard_html.h"
#include "ui/paste_job.h"

namespace torvane::ui {
namespace {

}  // namespace

PasteBox::PasteBox(QWidget* parent) : QPlainTextEdit(parent) {}
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

PasteBox::UndoState PasteBox::undoState() const {
  return {document()->availableUndoSteps(), document()->revision()};
}

void PasteBox::noteColourStep(UndoState before, UndoState after) {
  beforeColours_ = before;
  afterColours_ = after;
}

void PasteBox::undoEdit() {
  if (isReadOnly()) return;
  if (undoState() == afterColours_) undo();
  undo();
}

void PasteBox::redoEdit() {
  if (isReadOnly()) return;
  redo();
  if (undoState() == beforeColours_) redo();
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
