// Answers every message box that comes up during a widget test, noting what it showed.
#pragma once

#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <vector>

namespace torvane::testing {

// Answers every message box that comes up, noting what it showed.
class MessageBoxAnswerer {
 public:
  struct Seen {
    QString title, text, button;
    QMessageBox::Icon icon;
    bool okIsDefaultAndEscape;
    bool modal;
    int offCentre;  // pixels between the box's centre and the screen's
  };
  MessageBoxAnswerer() {
    QObject::connect(&poll_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      const auto buttons = box->buttons();
      seen.push_back(
          {box->windowTitle(), box->text(), buttons.size() == 1 ? buttons[0]->text() : QString(),
           box->icon(),
           box->defaultButton() == buttons.value(0) && box->escapeButton() == buttons.value(0),
           box->windowModality() == Qt::ApplicationModal,
           (box->frameGeometry().center() - box->screen()->geometry().center()).manhattanLength()});
      QTest::keyClick(box, Qt::Key_Escape);  // Esc closes it, as Enter would
    });
    poll_.start(5);
  }
  std::vector<Seen> seen;

 private:
  QTimer poll_;
};

}  // namespace torvane::testing
