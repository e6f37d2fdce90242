// The report box: a read-only, multi-line text box. It takes Enter itself and does nothing with
// it, so Enter never reaches the window's default button (which would replace the text).
#pragma once

#include <QKeyEvent>
#include <QTextEdit>

namespace torvane::ui {

class ReportBox : public QTextEdit {
 public:
  using QTextEdit::QTextEdit;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      event->accept();
      return;
    }
    QTextEdit::keyPressEvent(event);
  }
};

}  // namespace torvane::ui
