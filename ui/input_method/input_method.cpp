#include "ui/input_method/input_method.h"

#include <QDBusConnection>
#include <QEvent>
#include <QWidget>

#include "ui/input_method/fcitx_mozc_mode.h"
#include "ui/input_method/ibus_global_engine.h"

namespace torvane::ui {

struct JapaneseInputMethod::State {
  explicit State(QDBusConnection bus) : session(std::move(bus)) {}
  QDBusConnection session;
  IbusGlobalEngine ibus;
  bool focused = false;  // between switchOn and switchBack
};

JapaneseInputMethod::JapaneseInputMethod(QObject* parent)
    : JapaneseInputMethod(parent, QDBusConnection::sessionBus()) {}

JapaneseInputMethod::JapaneseInputMethod(QObject* parent, const QDBusConnection& session)
    : QObject(parent), state_(std::make_unique<State>(session)) {}

JapaneseInputMethod::~JapaneseInputMethod() = default;

void JapaneseInputMethod::watch(QWidget* control) {
  control->installEventFilter(this);
}

bool JapaneseInputMethod::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::FocusIn: switchOn(); break;
    // Closing the window hides the box, whether or not the focus leaves it first.
    case QEvent::FocusOut:
    case QEvent::Hide: switchBack(); break;
    default: break;
  }
  return QObject::eventFilter(watched, event);
}

// fcitx5 first; IBus when fcitx5 does not answer and the box still has the focus.
void JapaneseInputMethod::switchOn() {
  state_->focused = true;
  State* state = state_.get();
  activateFcitxInHiragana(state->session, this, [state] {
    if (state->focused) state->ibus.switchToJapanese();
  });
}

void JapaneseInputMethod::switchBack() {
  state_->focused = false;
  state_->ibus.switchBack();
}

}  // namespace torvane::ui
