// IBus's engine is global: switching it to a Japanese one changes it for the whole desktop. So
// the engine in use before is remembered and put back when the text box lets the focus go.
#pragma once

#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QObject>
#include <QString>

#include <optional>

namespace torvane::ui {

class IbusGlobalEngine {
 public:
  IbusGlobalEngine() = default;
  IbusGlobalEngine(const IbusGlobalEngine&) = delete;
  IbusGlobalEngine& operator=(const IbusGlobalEngine&) = delete;
  // Puts the previous engine back if it is not back yet, waiting briefly so that the call has
  // left before the program ends.
  ~IbusGlobalEngine();

  // Remembers the engine in use and switches to the first Japanese engine installed. Returns
  // at once; does nothing where IBus does not run.
  void switchToJapanese();
  // Puts the remembered engine back. Returns at once.
  void switchBack();

 private:
  std::optional<QDBusConnection> connection();
  void askCurrentEngine(bool byProperty);
  void rememberAndSwitch(const QString& current);
  void trySetting(int engine);
  QDBusMessage setEngineCall(const QString& name) const;

  bool wanted_ = false;   // the text box has the focus
  bool touched_ = false;  // a Japanese engine was asked for and the previous one is not back
  QString chosen_;        // the Japanese engine IBus accepted
  QString previous_;      // the engine to put back
  QDBusPendingCall restoring_ = QDBusPendingCall::fromError(QDBusMessage());
  // Owns the reply watchers, so no reply arrives once this object is gone.
  QObject replies_;
};

}  // namespace torvane::ui
