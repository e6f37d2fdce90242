// fcitx5 has no D-Bus call of its own for an engine's mode. Mozc's modes are actions that
// fcitx5 lists in the menu of its tray icon (com.canonical.dbusmenu), and a click there is
// the one way another program can choose one. Where no tray host runs there is no such menu,
// and the mode stays as mozc keeps it.
#pragma once

#include <functional>

class QDBusConnection;
class QObject;

namespace torvane::ui {

// Activates fcitx5's input method, then clicks mozc's hiragana item in fcitx5's tray menu.
// Returns at once; calls `notRunning` later if fcitx5 does not answer. Replies arriving after
// `context` is gone are dropped. Silent where the tray or mozc is missing.
void activateFcitxInHiragana(const QDBusConnection& session, QObject* context,
                             std::function<void()> notRunning);

}  // namespace torvane::ui
