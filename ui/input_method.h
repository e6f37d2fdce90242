// Switches the running Japanese input method on when the text box gets the focus, so that
// typing starts in hiragana. Talks to fcitx5 or IBus over D-Bus; where neither runs it does
// nothing and says nothing.
#pragma once

#include <QDBusConnection>
#include <QObject>

namespace torvane::ui {

class JapaneseInputMethod : public QObject {
  Q_OBJECT

 public:
  // `session` is the session bus where fcitx5 registers; IBus is found through its own address.
  explicit JapaneseInputMethod(QObject* parent = nullptr,
                               QDBusConnection session = QDBusConnection::sessionBus())
      : QObject(parent), session_(std::move(session)) {}

  // Watches `control` and switches the input method on whenever it gets the focus.
  void watch(QWidget* control);

  // Asks fcitx5, or else IBus, to switch to Japanese input. Returns at once.
  void switchOn();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QDBusConnection session_;
};

}  // namespace torvane::ui
