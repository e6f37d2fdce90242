#include "ui/dialogs/readings/readings_delegates.h"

#include <QComboBox>
#include <QLineEdit>
#include <QToolTip>
#include <QValidator>

#include <functional>

#include "reading/kana.h"
#include "rewriting/rewrite.h"
#include "ui/dialogs/readings/readings_model.h"

namespace torvane::ui {
namespace {

// Kana or nothing; anything else is refused as it is typed, and `refused` runs.
class KanaValidator : public QValidator {
 public:
  KanaValidator(std::function<void()> refused, QObject* parent)
      : QValidator(parent), refused_(std::move(refused)) {}
  State validate(QString& input, int&) const override {
    if (ReadingsModel::isReading(input)) return Acceptable;
    refused_();
    return Invalid;
  }

 private:
  std::function<void()> refused_;
};

// Enter in an editable drop-down can end the edit twice (the line's Enter and the choice it
// makes); the second time the editor is no longer the view's.
void commitAndClose(QStyledItemDelegate* delegate, QWidget* editor) {
  if (editor->property("finished").toBool()) return;
  editor->setProperty("finished", true);
  Q_EMIT delegate->commitData(editor);
  Q_EMIT delegate->closeEditor(editor);
}

}  // namespace

QString readingHint() {
  return QStringLiteral("読みには、ひらがな・カタカナと「ー」だけを入力できます。");
}

QWidget* ReadingDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                       const QModelIndex& index) const {
  auto* editor = new QComboBox(parent);
  editor->setObjectName(QStringLiteral("readingEditor"));
  editor->setEditable(true);
  editor->setInsertPolicy(QComboBox::NoInsert);  // a typed reading is not offered to other rows
  editor->addItems(index.data(ReadingsModel::ChoicesRole).toStringList());
  editor->setToolTip(readingHint());
  editor->setValidator(new KanaValidator(
      [this, editor] {
        QToolTip::showText(editor->mapToGlobal(QPoint(0, editor->height())), readingHint(), editor);
        Q_EMIT refused(readingHint());
      },
      editor));
  // Choosing from the list, or Enter in the typed text (which the drop-down keeps from the
  // view), ends the edit.
  auto finish = [this, editor] { commitAndClose(const_cast<ReadingDelegate*>(this), editor); };
  connect(editor, &QComboBox::activated, this, finish);
  connect(editor->lineEdit(), &QLineEdit::returnPressed, this, finish);
  return editor;
}

void ReadingDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  auto* box = static_cast<QComboBox*>(editor);
  box->setEditText(index.data(Qt::EditRole).toString());
  box->lineEdit()->selectAll();
}

void ReadingDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                   const QModelIndex& index) const {
  model->setData(index, static_cast<QComboBox*>(editor)->currentText(), Qt::EditRole);
}

void ReadingDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                           const QModelIndex&) const {
  editor->setGeometry(option.rect);
}

QWidget* ModeDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex&) const {
  auto* editor = new QComboBox(parent);
  editor->setObjectName(QStringLiteral("modeEditor"));
  for (const reading::Mode mode :
       {reading::Mode::Kana, reading::Mode::Ruby, reading::Mode::RubyUnlearnt, reading::Mode::Keep})
    editor->addItem(ReadingsModel::modeName(mode), static_cast<int>(mode));
  // Choosing from the list is the whole edit.
  connect(editor, &QComboBox::activated, this,
          [this, editor] { commitAndClose(const_cast<ModeDelegate*>(this), editor); });
  return editor;
}

void ModeDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  auto* box = static_cast<QComboBox*>(editor);
  box->setCurrentIndex(box->findData(index.data(Qt::EditRole)));
}

void ModeDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                const QModelIndex& index) const {
  model->setData(index, static_cast<QComboBox*>(editor)->currentData(), Qt::EditRole);
}

void ModeDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                        const QModelIndex&) const {
  editor->setGeometry(option.rect);
}

}  // namespace torvane::ui
