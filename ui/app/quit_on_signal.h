// Closes the main window when the session asks the program to end (SIGTERM, SIGINT, SIGHUP),
// through the same close as the quit button, so a running check stops cleanly first.
#pragma once

#include <QWidget>

namespace torvane::ui {

void closeOnTerminationSignals(QWidget& window);

}  // namespace torvane::ui
