#include "ui/window/message_boxes.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

#include "checker/failure_text.h"
#include "ui/app/application_title.h"

namespace torvane::ui {
namespace {

// The frame the window manager puts around a window, as it does around the windows already up;
// a box not mapped yet does not know its own.
QMargins knownFrameMargins(const QWidget& box) {
  if (box.frameGeometry().size() != box.size()) return {};  // the box knows its frame
  for (const QWidget* window : QApplication::topLevelWidgets()) {
    if (window == &box || !window->isVisible()) continue;
    const QRect frame = window->frameGeometry(), inner = window->geometry();
    if (frame.size() != inner.size()) {
      return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
              frame.bottom() - inner.bottom()};
    }
  }
  return {};
}

// A message box that centres its frame, title bar included, on the screen.
class CentredMessageBox : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  void showEvent(QShowEvent* event) override {
    QMessageBox::showEvent(event);
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect frame = frameGeometry().marginsAdded(knownFrameMargins(*this));
    QRect placed = frame;
    placed.moveCenter(screen->availableGeometry().center());
    move(pos() + (placed.topLeft() - frame.topLeft()));
  }
};

}  // namespace

void showMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text) {
  // No parent: the box centres itself on the screen; application-modal like the main window's
  // own boxes.
  CentredMessageBox box(icon, title, text, QMessageBox::NoButton);
  box.setObjectName(QStringLiteral("MessageBox"));
  QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.setDefaultButton(ok);
  box.setEscapeButton(ok);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

void showFailure(const QString& message) {
  showMessageBox(QMessageBox::Critical, applicationTitle(QApplication::applicationFilePath()),
                 QString::fromStdString(checker::failureText(message.toStdString())));
}

}  // namespace torvane::ui
