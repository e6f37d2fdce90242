#include "ui/paste_box.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QGuiApplication>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace torvane::ui {
namespace {

// Parses HTML without ever fetching an image or a style sheet it names.
class InertDocument : public QTextDocument {
 protected:
  QVariant loadResource(int, const QUrl&) override { return {}; }
};

// The character format without what would make a link or an embedded object of it.
QTextCharFormat plainCharFormat(QTextCharFormat format) {
  for (int property : {QTextFormat::AnchorHref, QTextFormat::AnchorName, QTextFormat::IsAnchor,
                       QTextFormat::ObjectType, QTextFormat::ImageName, QTextFormat::TextToolTip}) {
    format.clearProperty(property);
  }
  format.clearBackground();  // a background may be a picture
  return format;
}

// Copies the text of every paragraph of the parsed HTML with its character formats, table
// cells as plain paragraphs, pictures and other objects left out.
void insertFormattedText(QTextCursor& cursor, const QTextDocument& parsed) {
  bool first = true;
  for (QTextBlock block = parsed.begin(); block.isValid(); block = block.next()) {
    if (!first) cursor.insertBlock(QTextBlockFormat(), plainCharFormat(block.charFormat()));
    first = false;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid() || fragment.charFormat().isImageFormat()) continue;
      QString text = fragment.text();
      text.remove(QChar::ObjectReplacementCharacter);
      if (!text.isEmpty()) cursor.insertText(text, plainCharFormat(fragment.charFormat()));
    }
  }
}

// Inserts what the clipboard or a drop holds at the cursor.
void insertMimeData(QTextCursor& cursor, const QMimeData& source, const QTextCharFormat& format) {
  if (source.hasHtml()) {
    InertDocument parsed;
    parsed.setHtml(source.html());
    insertFormattedText(cursor, parsed);
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

// Nothing the text names is ever loaded into the box either.
QVariant PasteBox::loadResource(int, const QUrl&) {
  return {};
}

}  // namespace torvane::ui
