#include "ui/input_method/ibus_global_engine.h"

#include <QDBusPendingCallWatcher>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QSysInfo>

#include <functional>

#include "ui/input_method/dbus_replies.h"

namespace torvane::ui {
namespace {

const QString kService = QStringLiteral("org.freedesktop.IBus");
const QString kPath = QStringLiteral("/org/freedesktop/IBus");
const QString kConnectionName = QStringLiteral("torvane-ibus");

// The Japanese engines of IBus, tried in this order.
const QStringList kJapaneseEngines = {QStringLiteral("mozc-jp"), QStringLiteral("anthy"),
                                      QStringLiteral("kkc")};

// Short, so that closing the window never waits long on a daemon that hangs.
constexpr int kRestoreTimeoutMs = 500;

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

// Calls `done` with the reply once it arrives, unless `context` is gone by then.
void onReply(QObject* context, const QDBusPendingCall& call,
             std::function<void(const QDBusPendingCall&)> done) {
  auto* watcher = new QDBusPendingCallWatcher(call, context);
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                   [done = std::move(done)](QDBusPendingCallWatcher* finished) {
                     done(*finished);
                     finished->deleteLater();
                   });
}

}  // namespace

IbusGlobalEngine::~IbusGlobalEngine() {
  if (touched_ && !previous_.isEmpty()) {
    if (auto bus = connection())
      bus->call(setEngineCall(previous_), QDBus::Block, kRestoreTimeoutMs);
  } else if (!restoring_.isFinished()) {
    restoring_.waitForFinished();  // bounded by the call's own timeout
  }
}

std::optional<QDBusConnection> IbusGlobalEngine::connection() {
  QDBusConnection bus(kConnectionName);
  if (bus.isConnected()) return bus;
  const QString address = ibusAddress();
  if (address.isEmpty()) return std::nullopt;
  bus = QDBusConnection::connectToBus(address, kConnectionName);
  if (bus.isConnected()) return bus;
  QDBusConnection::disconnectFromBus(kConnectionName);  // try afresh at the next focus
  return std::nullopt;
}

void IbusGlobalEngine::switchToJapanese() {
  wanted_ = true;
  askCurrentEngine(false);
}

void IbusGlobalEngine::switchBack() {
  wanted_ = false;
  if (!touched_ || previous_.isEmpty()) return;
  const auto bus = connection();
  if (!bus) return;
  touched_ = false;
  restoring_ = bus->asyncCall(setEngineCall(previous_), kRestoreTimeoutMs);
}

// Older daemons answer GetGlobalEngine; newer ones have the GlobalEngine property as well.
void IbusGlobalEngine::askCurrentEngine(bool byProperty) {
  const auto bus = connection();
  if (!bus) return;
  QDBusMessage call =
      byProperty ? QDBusMessage::createMethodCall(kService, kPath,
                                                  QStringLiteral("org.freedesktop.DBus.Properties"),
                                                  QStringLiteral("Get"))
                 : QDBusMessage::createMethodCall(kService, kPath, kService,
                                                  QStringLiteral("GetGlobalEngine"));
  if (byProperty) call << kService << QStringLiteral("GlobalEngine");
  onReply(&replies_, bus->asyncCall(call), [this, byProperty](const QDBusPendingCall& reply) {
    if (reply.isError() && reply.error().type() == QDBusError::Disconnected) {
      QDBusConnection::disconnectFromBus(kConnectionName);  // IBus restarted: reconnect next time
      return;
    }
    if (!wanted_) return;  // the focus has gone meanwhile
    if (reply.isError()) {
      // No engine in use, or neither way of asking known: switch without remembering.
      if (byProperty) {
        rememberAndSwitch({});
      } else {
        askCurrentEngine(true);
      }
      return;
    }
    const QList<QVariant> arguments = reply.reply().arguments();
    rememberAndSwitch(arguments.isEmpty() ? QString() : ibusEngineName(arguments.first()));
  });
}

void IbusGlobalEngine::rememberAndSwitch(const QString& current) {
  // The engine this object set is not the user's: keep the one remembered before it.
  if (!current.isEmpty() && !(touched_ && current == chosen_)) previous_ = current;
  touched_ = true;
  trySetting(0);
}

void IbusGlobalEngine::trySetting(int engine) {
  if (engine >= kJapaneseEngines.size()) return;
  const auto bus = connection();
  if (!bus) return;
  const QString name = kJapaneseEngines[engine];
  onReply(&replies_, bus->asyncCall(setEngineCall(name)),
          [this, engine, name](const QDBusPendingCall& reply) {
            if (!reply.isError()) {
              chosen_ = name;
            } else if (wanted_) {
              trySetting(engine + 1);  // not installed: try the next one
            }
          });
}

QDBusMessage IbusGlobalEngine::setEngineCall(const QString& name) const {
  QDBusMessage call =
      QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("SetGlobalEngine"));
  call << name;
  return call;
}

}  // namespace torvane::ui
