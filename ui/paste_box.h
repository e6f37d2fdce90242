// The upper text box: text with character formats (colours above all) that takes pasted and
// dropped text with its formats, but no pictures, tables or other embedded objects, and never
// loads what the text refers to. Its layout works on the lines in view only, so a long text
// costs no more to show, colour or scroll than a short one.
#pragma once

#include <QPlainTextEdit>

namespace torvane::ui {

class PasteBox : public QPlainTextEdit {
  Q_OBJECT

 public:
  using QPlainTextEdit::QPlainTextEdit;

  // Replaces the whole text with the clipboard's, in black, as one step that undo takes back.
  void replaceAllWithClipboard();

 protected:
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
  QMimeData* createMimeDataFromSelection() const override;
  QVariant loadResource(int type, const QUrl& name) override;
};

}  // namespace torvane::ui
