// The upper box's side of the clipboard's HTML: what a paste takes from it and what a copy puts
// on it.
#pragma once

#include <QByteArray>
#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextBlock>
#include <QTextCharFormat>

#include <utility>
#include <vector>

#include "rewriting/rtf.h"

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

// What a copy takes from the box: the selected text, its paragraphs and runs of one format, the
// formats themselves and the box's font, as values of their own that any thread may read. Taking
// it costs a walk over the runs; building the clipboard's forms from it costs far more, and
// can be done on a worker while the box changes.
struct CopySnapshot {
  struct Run {
    int length = 0;
    int format = 0;  // index into formats
  };
  struct Paragraph {
    int length = 0;  // of text
    int runs = 0;    // how many of the runs are the paragraph's
    int blockFormat = 0;
    int charFormat = 0;
  };
  QString text;  // the selected text, a paragraph separator between each two paragraphs
  std::vector<Paragraph> paragraphs;
  std::vector<Run> runs;
  QList<QTextFormat> formats;  // by the document's format index
  QStringList runStyles;       // inline CSS by format index, for character formats
  QString paragraphStyle;      // inline CSS of every paragraph: the box's font
  QString font;                // the box's font (QFont::toString)
  reading::rtf::Font rtfFont;  // the box's font for the RTF
};

CopySnapshot snapshotForCopy(const QTextCursor& selection, const QFont& boxFont);

// The same snapshot taken a slice at a time, for a whole long text whose walk over the runs
// would hold the window (a quarter of a second over 9 MB): the text at once, then the
// paragraphs by more() until it says they are all in. The document must not change meanwhile.
class SnapshotTaker {
 public:
  SnapshotTaker(const QTextCursor& selection, const QFont& boxFont);
  // Walks the paragraphs for about budgetMs; true once all are in.
  bool more(qint64 budgetMs);
  CopySnapshot take() &&;

 private:
  const QTextDocument* document_;
  int start_, end_;
  QFont font_;
  QTextBlock next_;
  CopySnapshot snapshot_;
};

// What a copy puts on the clipboard, as plain values any thread can build: HTML that keeps
// colours, tabs and runs of spaces in a form word processors and browsers keep and names the
// box's font, an OpenDocument text as the box's own copy would write it, RTF (which word
// processors read where they drop ruby and colours of HTML), and the plain text.
struct ClipboardFormats {
  QString html;
  QString text;
  QList<std::pair<QString, QByteArray>> data;  // further forms by MIME type
};
ClipboardFormats formatsForCopy(const CopySnapshot& snapshot);
QMimeData* mimeDataOf(ClipboardFormats formats);

// The copy's forms for a selection, built at once.
QMimeData* mimeDataForCopy(const QTextCursor& selection, const QFont& boxFont);
// The same forms, each built when a reader first asks for it.
QMimeData* mimeDataOnRequest(const QTextCursor& selection, const QFont& boxFont);
// The plain text part of the copy's forms.
QString plainTextForCopy(const CopySnapshot& snapshot);

// The RTF part of the copy's forms: the colours of the runs, the box's font.
QByteArray rtfForCopy(const CopySnapshot& snapshot);
// A font as the RTF names it: the face this system shows it in, the face itself as the
// alternative for readers elsewhere.
reading::rtf::Font rtfFontOf(const QFont& font);
// The MIME types of RTF, both as word processors look for it; and the whole set of a copy's
// further forms with one RTF.
const QStringList& rtfTypes();
void addRtf(QList<std::pair<QString, QByteArray>>& data, const QByteArray& rtf);

// The HTML part of the copy's forms.
QString htmlForCopy(const CopySnapshot& snapshot);
QString htmlForCopy(const QTextCursor& selection, const QFont& boxFont);

}  // namespace torvane::ui
