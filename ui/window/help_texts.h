// The texts of the Help menu.
#pragma once

#include <QString>

namespace torvane::ui {

// 使い方: the steps of a check, as rich text.
QString usageText();
// Torvane について: the version, the tables with their sources, and the licences of what the
// program uses, as rich text.
QString aboutText();

}  // namespace torvane::ui
