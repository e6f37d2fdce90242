// The upper box's side of the clipboard's HTML: what a paste takes from it and what a copy puts
// on it.
#pragma once

#include <QFont>
#include <QList>
#include <QString>
#include <QTextCharFormat>

class QMimeData;
class QTextCursor;

namespace torvane::ui {

// One paragraph of pasted rich text: runs of text with their character formats (links,
// pictures, objects and backgrounds stripped).
struct PastedRun {
  QString text;
  QTextCharFormat format;
};
struct PastedParagraph {
  QTextCharFormat blockCharFormat;
  QList<PastedRun> runs;
};

// The clipboard's HTML as paragraphs holding the source's words and line breaks and nothing
// more; table cells become paragraphs, pictures are left out, and nothing it names is loaded.
QList<PastedParagraph> paragraphsFromHtml(const QString& html);

// What a copy puts on the clipboard for a selection: HTML that keeps colours, tabs and runs of
// spaces in a form word processors and browsers keep and names the box's font, an OpenDocument
// text, and the plain text.
QMimeData* mimeDataForCopy(const QTextCursor& selection, const QFont& boxFont);

// The HTML part of mimeDataForCopy.
QString htmlForCopy(const QTextCursor& selection, const QFont& boxFont);

}  // namespace torvane::ui
