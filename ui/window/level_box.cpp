#include "ui/window/level_box.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>

#include "checker/levels.h"

namespace torvane::ui {
namespace {

constexpr int kItemHeight = 16;

class FixedHeightDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), kItemHeight};
  }
};

}  // namespace

LevelComboBox::LevelComboBox(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);  // typed text never joins the list
  setCompleter(nullptr);                 // completion follows the box's own rule below
  for (std::string_view entry : checker::kLevelEntries) {
    addItem(QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size())));
  }
  setItemDelegate(new FixedHeightDelegate(this));
  connect(lineEdit(), &QLineEdit::textEdited, this, &LevelComboBox::completeTypedText);
  lineEdit()->installEventFilter(this);
}

bool LevelComboBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lineEdit() && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    deleting_ = key == Qt::Key_Backspace || key == Qt::Key_Delete;
  }
  return QComboBox::eventFilter(watched, event);
}

// The pass asks for every character: the answer is kept until the text changes.
int LevelComboBox::levelIndex() const {
  const QString text = currentText();
  if (text != levelText_) {
    levelText_ = text;
    levelIndex_ = checker::levelIndexOf(text.toStdString());
  }
  return levelIndex_;
}

// Typing a prefix selects the first entry that begins with it and completes the text, the
// completed part selected so that typing on replaces it. Deleting never completes again.
void LevelComboBox::completeTypedText(const QString& text) {
  const bool deleted = deleting_;
  deleting_ = false;
  int match = -1;
  for (int i = 0; !text.isEmpty() && i < count(); ++i) {
    if (itemText(i).startsWith(text)) {
      match = i;
      break;
    }
  }
  const QSignalBlocker blocker(this);
  if (match < 0 || deleted) {
    const int cursor = lineEdit()->cursorPosition();
    setCurrentIndex(match >= 0 && itemText(match) == text ? match : -1);
    lineEdit()->setText(text);
    lineEdit()->setCursorPosition(cursor);
    return;
  }
  setCurrentIndex(match);
  lineEdit()->setText(itemText(match));
  lineEdit()->setSelection(static_cast<int>(itemText(match).size()),
                           -static_cast<int>(itemText(match).size() - text.size()));
}

}  // namespace torvane::ui
