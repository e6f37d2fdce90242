// What the program sets up before its window: font stand-ins and the tooltip timing.
#pragma once

#include <QApplication>

namespace torvane::ui {

// Call before the QApplication is constructed.
void prepareApplication();
// Call once the QApplication exists.
void configureApplication(QApplication& application);

}  // namespace torvane::ui
