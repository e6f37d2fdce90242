// Switches the running Japanese input method on when the text box gets the focus, so that
// typing starts in hiragana. Talks to fcitx5 or IBus over D-Bus; where neither runs it does
// nothing and says nothing. IBus's engine is global, so the engine in use before is put back
// when the box loses the focus or is hidden, and when this object goes.
#pragma once

#include <QObject>

#include <memory>

class QDBusConnection;
class QWidget;

namespace torvane::ui {

class JapaneseInputMethod : public QObject {
  Q_OBJECT

 public:
  // Finds fcitx5 on the session bus.
  explicit JapaneseInputMethod(QObject* parent = nullptr);
  // Finds fcitx5 on `session` instead; IBus is found through its own address either way.
  JapaneseInputMethod(QObject* parent, const QDBusConnection& session);
  ~JapaneseInputMethod() override;

  // Watches `control`: switches the input method on whenever it gets the focus, and IBus's
  // previous engine back when it loses the focus or is hidden.
  void watch(QWidget* control);

  // Asks fcitx5, or else IBus, to switch to Japanese input. Returns at once.
  void switchOn();
  // Puts IBus's previous engine back. Returns at once.
  void switchBack();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace torvane::ui
