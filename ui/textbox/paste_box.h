// The upper text box: text with character formats (colours above all) that takes pasted and
// dropped text with its formats, but no pictures, tables or other embedded objects, and never
// loads what the text refers to. Its layout works on the lines in view only, so a long text
// costs no more to show, colour or scroll than a short one.
#pragma once

#include <QPlainTextEdit>

#include <functional>
#include <memory>
#include <optional>

#include "ui/textbox/box_edits.h"
#include "ui/textbox/paste_job.h"

namespace torvane::ui {

class PasteBox : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit PasteBox(QWidget* parent = nullptr);
  ~PasteBox() override;

  // Replaces the whole text with the clipboard's, in black, as one step that undo takes back,
  // then runs `afterwards`. A long text goes in a slice at a time while the window stays live
  // (see isPasting). A paste that fails leaves the box as it was and emits failed.
  void replaceAllWithClipboard(std::function<void()> afterwards = {});
  // The same with `text` (an opened file's), plain, in black.
  void replaceAllWithText(const QString& text, std::function<void()> afterwards = {});
  // Writes edits into the box as one undo step (see BoxEditJob), then runs `afterwards` with
  // their number. The box is read-only from now until they are in, so the positions they were
  // made for stay right; edits that fail leave the box as it was and emit failed.
  void applyEdits(BoxEditJob::Make make, bool onWorker,
                  std::function<void(std::size_t edits)> afterwards);
  // Whether a paste, or edits, are still going in; the box is read-only meanwhile.
  bool isPasting() const;
  // The parser of pasted HTML, which may run on a worker thread (tests put one that fails).
  void setHtmlParser(PasteJob::HtmlParser parse) { parseHtml_ = std::move(parse); }

  // Puts the selection on the clipboard in the copy's forms (see mimeDataForCopy). A long one
  // is built on a worker from what the box holds now and goes on the clipboard when it is
  // built, while the window stays live; copyFinished says when. Ctrl+C and the context menu
  // copy this way too.
  void copySelection();

  // Where the document's undo history stands: the commands undo can take back.
  int undoSteps() const;
  // A check writes its colours a slice at a time, each slice's edit block opened by
  // joinColours, and calls endColours when it is done. With no history the colours make no
  // step; otherwise they make one, joined with the colours of the check before when nothing
  // came between. Undo and redo pass over that step together with the user's edit next to it,
  // so a check is never an edit of its own to undo, and the user's edits before it stay undoable.
  void joinColours(QTextCursor& cursor);
  void endColours();
  // Undo and redo as the keyboard and the context menu reach them.
  void undoEdit();
  void redoEdit();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
  QMimeData* createMimeDataFromSelection() const override;
  QVariant loadResource(int type, const QUrl& name) override;

 Q_SIGNALS:
  void pasteFinished();
  // A file was dropped on the box: the window opens it instead of pasting its name.
  void fileDropped(const QString& path);
  // The copy's forms are on the clipboard, or something copied after them is.
  void copyFinished();
  // A paste, a copy or edits went wrong and the box is as it was; the message is for the
  // failure box.
  void failed(const QString& message);

 private:
  // Replaces the whole text with what `source` holds (null: nothing), in black.
  void replaceAll(const QMimeData* source, std::function<void()> afterwards);
  void startPaste(QTextCursor cursor, const QMimeData& source, const QTextCharFormat& plainFormat,
                  PasteJob::Prepare prepare, std::function<void()> afterwards);
  void cutSelection();
  // Undo and redo move along the history; the colour step stays where it is in it.
  void undoKeepingColourStep();

  // The user's own edits that drop the colour step from the history forget it.
  void contentsChanged();
  // Whether the last step of the history is the colours of a check.
  bool colourStepOnTop() const { return colourStep_ && colourStep_->after == undoSteps(); }

  // The colours of the last check in the undo history: the steps before and after them.
  struct ColourStep {
    int before = 0;
    int after = -1;  // -1 while the check is writing them
  };
  std::optional<ColourStep> colourStep_;
  std::unique_ptr<PasteJob> paste_;
  std::unique_ptr<BoxEditJob> edits_;
  PasteJob::HtmlParser parseHtml_ = paragraphsFromHtml;
};

}  // namespace torvane::ui
