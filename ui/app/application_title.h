// The application title, which error boxes carry: no title is set, so it follows the file name.
#pragma once

#include <QString>

namespace torvane::ui {

// The executable's file name without its directory and without everything from the first "."
// on, its first letter as it stands and every letter after it in lower case: "torvane" for
// /usr/bin/torvane, "Torvane" for Torvane.exe.
QString applicationTitle(const QString& executablePath);

}  // namespace torvane::ui
