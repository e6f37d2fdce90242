#include "ui/input_method/fcitx_mozc_mode.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>

#include <functional>

#include "ui/input_method/dbus_replies.h"

namespace torvane::ui {
namespace {

const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kItem = QStringLiteral("org.kde.StatusNotifierItem");
const QString kMenu = QStringLiteral("com.canonical.dbusmenu");
// The Id fcitx5 gives its tray item, and the icon of mozc's hiragana action (spelt with '_'
// or '-' depending on the version).
const QString kFcitxItemId = QStringLiteral("Fcitx");
const QString kHiraganaIcon = QStringLiteral("fcitx-mozc-hiragana");

using Done = std::function<void(const QDBusMessage&)>;

// Sends `call` and hands the reply to `done`, or calls `failed`, unless `context` is gone by
// then.
void send(
    const QDBusConnection& bus, const QDBusMessage& call, QObject* context, Done done,
    std::function<void()> failed = [] {}) {
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), context);
  QObject::connect(
      watcher, &QDBusPendingCallWatcher::finished, context,
      [done = std::move(done), failed = std::move(failed)](QDBusPendingCallWatcher* finished) {
        if (finished->isError()) {
          failed();
        } else {
          done(finished->reply());
        }
        finished->deleteLater();
      });
}

QVariant firstArgument(const QDBusMessage& reply) {
  return reply.arguments().isEmpty() ? QVariant() : reply.arguments().first();
}

void clickHiragana(const QDBusConnection& bus, const QString& service, const QString& menu,
                   QObject* context) {
  QDBusMessage layout =
      QDBusMessage::createMethodCall(service, menu, kMenu, QStringLiteral("GetLayout"));
  layout << 0 << -1 << QStringList{QStringLiteral("icon-name")};
  send(bus, layout, context, [bus, service, menu](const QDBusMessage& reply) {
    if (reply.arguments().size() < 2) return;
    const QVariant root = reply.arguments().at(1);
    if (root.metaType() != QMetaType::fromType<QDBusArgument>()) return;
    const auto id = menuItemWithIcon(qvariant_cast<QDBusArgument>(root), kHiraganaIcon);
    if (!id) return;  // the input method in use is not mozc
    QDBusMessage click =
        QDBusMessage::createMethodCall(service, menu, kMenu, QStringLiteral("Event"));
    click << *id << QStringLiteral("clicked") << QVariant::fromValue(QDBusVariant(0)) << 0u;
    bus.asyncCall(click);
  });
}

// The watcher lists items as "service/path" or as a bare service with the default path.
void inspectTrayItem(const QDBusConnection& bus, const QString& entry, QObject* context) {
  const qsizetype slash = entry.indexOf(QLatin1Char('/'));
  const QString service = slash < 0 ? entry : entry.left(slash);
  const QString path = slash < 0 ? QStringLiteral("/StatusNotifierItem") : entry.mid(slash);
  QDBusMessage properties =
      QDBusMessage::createMethodCall(service, path, kProperties, QStringLiteral("GetAll"));
  properties << kItem;
  properties.setAutoStartService(false);
  send(bus, properties, context, [bus, service, context](const QDBusMessage& reply) {
    const QVariantMap values = qdbus_cast<QVariantMap>(firstArgument(reply));
    if (values.value(QStringLiteral("Id")).toString() != kFcitxItemId) return;
    const QString menu =
        qvariant_cast<QDBusObjectPath>(values.value(QStringLiteral("Menu"))).path();
    if (menu.isEmpty()) return;
    clickHiragana(bus, service, menu, context);
  });
}

}  // namespace

void activateFcitxInHiragana(const QDBusConnection& session, QObject* context,
                             std::function<void()> notRunning) {
  QDBusMessage activate = QDBusMessage::createMethodCall(
      QStringLiteral("org.fcitx.Fcitx5"), QStringLiteral("/controller"),
      QStringLiteral("org.fcitx.Fcitx.Controller1"), QStringLiteral("Activate"));
  // Where fcitx5 is installed but IBus is in use, the bus must not start fcitx5 for this call.
  activate.setAutoStartService(false);
  if (!session.isConnected()) {
    notRunning();  // a call on no connection would never finish
    return;
  }
  // The mode action appears in the menu once mozc is active, so the tray is asked afterwards.
  send(
      session, activate, context,
      [session, context](const QDBusMessage&) {
        QDBusMessage items = QDBusMessage::createMethodCall(
            kWatcher, QStringLiteral("/StatusNotifierWatcher"), kProperties, QStringLiteral("Get"));
        items << kWatcher << QStringLiteral("RegisteredStatusNotifierItems");
        items.setAutoStartService(false);  // no tray host: nothing to start on its behalf
        send(session, items, context, [session, context](const QDBusMessage& reply) {
          const QVariant list = qvariant_cast<QDBusVariant>(firstArgument(reply)).variant();
          for (const QString& entry : list.toStringList()) inspectTrayItem(session, entry, context);
        });
      },
      std::move(notRunning));
}

}  // namespace torvane::ui
