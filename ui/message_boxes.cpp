#include "ui/message_boxes.h"

#include <QCoreApplication>
#include <QPushButton>

#include "checker/failure_text.h"
#include "ui/application_title.h"

namespace torvane::ui {

void showMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text) {
  // No parent: the box centres itself on the screen; application-modal like the main window's
  // own boxes.
  QMessageBox box(icon, title, text, QMessageBox::NoButton);
  box.setObjectName(QStringLiteral("MessageBox"));
  QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.setDefaultButton(ok);
  box.setEscapeButton(ok);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

void showFailure(const QString& message) {
  showMessageBox(QMessageBox::Critical, applicationTitle(QCoreApplication::applicationFilePath()),
                 QString::fromStdString(checker::failureText(message.toStdString())));
}

}  // namespace torvane::ui
