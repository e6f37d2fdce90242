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

namespace torvane::ui {
namespace {

// Inserts the pasted paragraphs with their character formats.
void insertParagraphs(QTextCursor& cursor, const QList<PastedParagraph>& paragraphs) {
  bool first = true;
  for (const PastedParagraph& paragraph : paragraphs) {
    if (!first) cursor.insertBlock(QTextBlockFormat(), paragraph.blockCharFormat);
    first = false;
    for (const PastedRun& run : paragraph.runs) cursor.insertText(run.text, run.format);
  }
}

// Inserts what the clipboard or a drop holds at the cursor.
void insertMimeData(QTextCursor& cursor, const QMimeData& source, const QTextCharFormat& format) {
  if (source.hasHtml()) {
    insertParagraphs(cursor, paragraphsFromHtml(source.html()));
  } else if (source.hasText()) {
    cursor.insertText(source.text(), format);
  }
}

}  // namespace

void PasteBox::replaceAllWithClipboard() {
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
    insertMimeData(cursor, *source, black);
  }
  cursor.endEditBlock();
  setTextCursor(cursor);
  ensureCursorVisible();
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
  QTextCursor cursor = textCursor();
  cursor.beginEditBlock();
  insertMimeData(cursor, *source, currentCharFormat());  // plain text takes the box's format
  cursor.endEditBlock();
  setTextCursor(cursor);
  ensureCursorVisible();
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
