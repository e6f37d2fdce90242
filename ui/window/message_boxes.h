// Modal message boxes as the window shows them: centred on the screen, the system icon at the
// left and one button "OK", which is both the default (Enter) and the cancel button (Esc).
#pragma once

#include <QMessageBox>
#include <QString>

namespace torvane::ui {

void showMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text);

// An unexpected failure: the stop icon, the application title, and the message with "."
// appended when its last character sorts after ".".
void showFailure(const QString& message);

}  // namespace torvane::ui
