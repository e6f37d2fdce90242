// The editors of the two editable columns of the reading proposals: a reading typed or chosen
// from the dictionary's readings, and what becomes of the word.
#pragma once

#include <QStyledItemDelegate>

namespace torvane::ui {

// What the reading editor says when something other than kana is typed.
QString readingHint();

// An editable drop-down of the row's readings (ReadingsModel::ChoicesRole); kana may be typed
// (hiragana, katakana and ー), anything else is refused with a hint: a reading stands between
// 《 and 》 in the box, where ｜, 《 or 》 would break the ruby.
class ReadingDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override;
  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const override;

 Q_SIGNALS:
  // Something other than kana was typed, and refused.
  void refused(const QString& hint) const;
};

// A drop-down of the three modes.
class ModeDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override;
  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const override;
};

}  // namespace torvane::ui
