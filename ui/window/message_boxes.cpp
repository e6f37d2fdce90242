#include "ui/window/message_boxes.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QUnhandledException>

#include <new>

#include "checker/failure_text.h"
#include "checker/report.h"
#include "ui/app/application_title.h"

namespace torvane::ui {
namespace {

const QString kSomething = QStringLiteral("処理");
const QString kFailed = QStringLiteral("に失敗しました");
const QString kCauseUnknown = QStringLiteral("（原因不明）");

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

void showMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text,
                    QPointer<QMessageBox>* shown) {
  // No parent: the box centres itself on the screen; application-modal like the main window's
  // own boxes.
  CentredMessageBox box(icon, title, text, QMessageBox::NoButton);
  box.setObjectName(QStringLiteral("MessageBox"));
  QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.setDefaultButton(ok);
  box.setEscapeButton(ok);
  box.setWindowModality(Qt::ApplicationModal);
  if (shown != nullptr) *shown = &box;
  box.exec();
}

void showFailure(const QString& message) {
  const QString said = message.trimmed().isEmpty() ? kSomething + kFailed + kCauseUnknown : message;
  showMessageBox(QMessageBox::Critical, applicationTitle(QApplication::applicationFilePath()),
                 QString::fromStdString(checker::failureText(said.toStdString())));
}

QString failureMessage(std::exception_ptr failure, const QString& doing) {
  const QString what = doing.isEmpty() ? kSomething : doing;
  try {
    if (failure) std::rethrow_exception(failure);
  } catch (const checker::CheckFailure& forTheUser) {
    const QString message = QString::fromUtf8(forTheUser.what());
    if (!message.trimmed().isEmpty()) return message;
  } catch (const QUnhandledException& fromWorker) {
    // A worker's failure arrives wrapped; what it was decides the message.
    if (fromWorker.exception()) return failureMessage(fromWorker.exception(), doing);
  } catch (const std::bad_alloc&) {
    return what + QStringLiteral("に必要なメモリが足りません");
  } catch (const std::exception& failed) {
    // The lower layers' own messages are for a bug report: kept, after the sentence the user
    // reads.
    const QString cause = QString::fromUtf8(failed.what()).trimmed();
    if (!cause.isEmpty())
      return what + kFailed + QStringLiteral("（") + cause + QStringLiteral("）");
  } catch (...) {
  }
  return what + kFailed + kCauseUnknown;
}

}  // namespace torvane::ui
