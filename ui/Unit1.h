// The main window: the banner, the four command buttons, the level drop-down, the text box, the
// report box and the progress box.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

#include "ui/input_method.h"
#include "ui/level_box.h"

namespace torvane::ui {

class TForm1 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* parent = nullptr);

  // The level the drop-down names: 0 to 6, or -1 for typed text that is none of the entries.
  int levelIndex() const { return ComboBox1->levelIndex(); }

  // The banner.
  QWidget* Shape1;
  QLabel* Image1;
  QLabel* Label1;
  QLabel* Label2;
  // The command row.
  QPushButton* Button4;  // paste
  LevelComboBox* ComboBox1;
  QPushButton* Button1;  // check
  QPushButton* Button3;  // copy
  QPushButton* Button2;  // quit
  // The text to check, the report, and the character being examined.
  QTextEdit* RichEdit1;
  QTextEdit* RichEdit2;
  QLabel* StaticText1;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void createBanner();
  void createCommandRow();
  void createTextBoxes();
  void arrangeTabOrder();

  JapaneseInputMethod inputMethod_;
  bool centred_ = false;
};

}  // namespace torvane::ui

// The one main window, as the rest of the program knows it.
using torvane::ui::TForm1;
extern TForm1* Form1;
