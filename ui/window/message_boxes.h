// Modal message boxes as the window shows them: centred on the screen, the system icon at the
// left and one button "OK", which is both the default (Enter) and the cancel button (Esc).
#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QString>

#include <exception>

namespace torvane::ui {

// `shown`, when given, points to the box while it is up, so that the caller can close it.
void showMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text,
                    QPointer<QMessageBox>* shown = nullptr);

// An unexpected failure: the stop icon, the application title, and the message with "."
// appended when its last character sorts after ".". An empty message still says that
// something failed.
void showFailure(const QString& message);

// What the failure box says when `doing` (a noun such as 「チェック」, empty for a command
// not named) failed with `failure`: a message written for the user as it stands, otherwise
// what failed in Japanese with the cause as far as it is known. Never empty.
QString failureMessage(std::exception_ptr failure, const QString& doing = {});

}  // namespace torvane::ui
