// The upper text box: text with character formats (colours above all) that takes pasted and
// dropped text with its formats, but no pictures, tables or other embedded objects, and never
// loads what the text refers to. Its layout works on the lines in view only, so a long text
// costs no more to show, colour or scroll than a short one.
#pragma once

#include <QPlainTextEdit>

#include <memory>

namespace torvane::ui {

class PasteJob;

class PasteBox : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit PasteBox(QWidget* parent = nullptr);
  ~PasteBox() override;

  // Replaces the whole text with the clipboard's, in black, as one step that undo takes back.
  // A long text goes in a slice at a time while the window stays live (see isPasting).
  void replaceAllWithClipboard();
  // Whether a paste is still going in; the box is read-only meanwhile.
  bool isPasting() const;

  // Where the document's undo history stands: the commands undo can take back.
  int undoSteps() const;
  // A check writes its colours between these calls. They go into the history as one step,
  // between `before` and `after`; undo and redo pass over that step together with the user's
  // edit next to it, so a check is never an edit of its own to undo, and the user's edits
  // before it stay undoable.
  void beginColours() { colouring_ = true; }
  void noteColourStep(int before, int after);
  // Whether the last step of the history is the colours of a check; where it began.
  bool colourStepOnTop() const { return colourMark_ && undoSteps() == afterColours_; }
  int beforeColours() const { return beforeColours_; }
  // Undo and redo as the keyboard and the context menu reach them.
  void undoEdit();
  void redoEdit();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
  QMimeData* createMimeDataFromSelection() const override;
  QVariant loadResource(int type, const QUrl& name) override;

 Q_SIGNALS:
  void pasteFinished();

 private:
  void startPaste(QTextCursor cursor, const QMimeData& source, const QTextCharFormat& plainFormat);

  // The user's own edits (not undo, redo or colours) that drop the colour step from the
  // history forget it.
  void contentsChanged();

  bool colourMark_ = false;
  bool colouring_ = false;
  bool undoingOrRedoing_ = false;
  int beforeColours_ = -1, afterColours_ = -1;
  std::unique_ptr<PasteJob> paste_;
};

}  // namespace torvane::ui
