// The level drop-down: the seven levels, and typed text completed to the first level it begins.
#pragma once

#include <QComboBox>

namespace torvane::ui {

class LevelComboBox : public QComboBox {
  Q_OBJECT

 public:
  explicit LevelComboBox(QWidget* parent = nullptr);

  // 0 to 6 for the level the text names, -1 for text that is none of the entries.
  int levelIndex() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void completeTypedText(const QString& text);

  bool deleting_ = false;
  mutable QString levelText_;
  mutable int levelIndex_ = -1;  // the key being handled deletes text
};

}  // namespace torvane::ui
