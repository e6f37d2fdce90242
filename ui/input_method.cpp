#include "ui/input_method.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QSysInfo>
#include <QWidget>

namespace torvane::ui {
namespace {

const QString kFcitxService = QStringLiteral("org.fcitx.Fcitx5");
const QString kIbusService = QStringLiteral("org.freedesktop.IBus");
const QString kIbusConnection = QStringLiteral("torvane-ibus");

// The Japanese engines of IBus, tried in this order.
const QStringList kIbusEngines = {QStringLiteral("mozc-jp"), QStringLiteral("anthy"),
                                  QStringLiteral("kkc")};

// IBus runs its own bus; its address is in the environment or in a file named after the
// machine and the display.
QString ibusAddress() {
  if (const QByteArray address = qgetenv("IBUS_ADDRESS"); !address.isEmpty()) {
    return QString::fromLocal8Bit(address);
  }
  QString display = QString::fromLocal8Bit(qgetenv("DISPLAY"));
  if (display.isEmpty()) return {};
  const QString host = display.section(QLatin1Char(':'), 0, 0);
  const QString number = display.section(QLatin1Char(':'), 1).section(QLatin1Char('.'), 0, 0);
  const QString file = QDir::homePath() + QStringLiteral("/.config/ibus/bus/") +
                       QString::fromLatin1(QSysInfo::machineUniqueId()) + QLatin1Char('-') +
                       (host.isEmpty() ? QStringLiteral("unix") : host) + QLatin1Char('-') + number;
  QFile addressFile(file);
  if (!addressFile.open(QIODevice::ReadOnly)) return {};
  for (const QByteArray& line : addressFile.readAll().split('\n')) {
    if (line.startsWith("IBUS_ADDRESS=")) return QString::fromLocal8Bit(line.mid(13));
  }
  return {};
}

void setIbusEngine(const QDBusConnection& bus, int engine) {
  if (engine >= kIbusEngines.size()) return;
  QDBusMessage call =
      QDBusMessage::createMethodCall(kIbusService, QStringLiteral("/org/freedesktop/IBus"),
                                     kIbusService, QStringLiteral("SetGlobalEngine"));
  call << kIbusEngines[engine];
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished,
                   [bus, engine](QDBusPendingCallWatcher* w) {
                     if (w->isError())
                       setIbusEngine(bus, engine + 1);  // not installed: try the next one
                     w->deleteLater();
                   });
}

}  // namespace

void JapaneseInputMethod::watch(QWidget* control) {
  control->installEventFilter(this);
}

bool JapaneseInputMethod::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) switchOn();
  return QObject::eventFilter(watched, event);
}

void JapaneseInputMethod::switchOn() {
  if (session_.isConnected() && session_.interface()->isServiceRegistered(kFcitxService)) {
    session_.asyncCall(QDBusMessage::createMethodCall(kFcitxService, QStringLiteral("/controller"),
                                                      QStringLiteral("org.fcitx.Fcitx.Controller1"),
                                                      QStringLiteral("Activate")));
    return;
  }
  QDBusConnection ibus = QDBusConnection(kIbusConnection);
  if (!ibus.isConnected()) {
    const QString address = ibusAddress();
    if (address.isEmpty()) return;
    ibus = QDBusConnection::connectToBus(address, kIbusConnection);
    if (!ibus.isConnected()) {
      QDBusConnection::disconnectFromBus(kIbusConnection);  // try afresh at the next focus
      return;
    }
  }
  setIbusEngine(ibus, 0);
}

}  // namespace torvane::ui
