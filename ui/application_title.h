// The application title, which error boxes carry: no title is set, so it follows the file name.
#pragma once

#include <QString>

namespace torvane::ui {

// The executable's file name without its directory and without everything from the first "."
// on, its first letter in upper case and every letter after it in lower case: "Torvane" for
// /usr/bin/torvane.
QString applicationTitle(const QString& executablePath);

}  // namespace torvane::ui
