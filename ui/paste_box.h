// The upper text box: rich text that takes pasted and dropped text with its character formats,
// but no pictures, tables or other embedded objects, and never loads what the text refers to.
#pragma once

#include <QTextEdit>

namespace torvane::ui {

class PasteBox : public QTextEdit {
  Q_OBJECT

 public:
  using QTextEdit::QTextEdit;

 protected:
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
  QVariant loadResource(int type, const QUrl& name) override;
};

}  // namespace torvane::ui
