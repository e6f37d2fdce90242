#include "ui/input_method/dbus_replies.h"

#include <QDBusArgument>
#include <QDBusVariant>

namespace torvane::ui {
namespace {

// A variant that arrived over D-Bus may still be wrapped once more in QDBusVariant.
QVariant unwrapped(QVariant value) {
  while (value.metaType() == QMetaType::fromType<QDBusVariant>())
    value = qvariant_cast<QDBusVariant>(value).variant();
  return value;
}

bool isStruct(const QVariant& value) {
  return value.metaType() == QMetaType::fromType<QDBusArgument>() &&
         qvariant_cast<QDBusArgument>(value).currentType() == QDBusArgument::StructureType;
}

QString sameDashes(QString name) {
  return name.replace(QLatin1Char('_'), QLatin1Char('-'));
}

}  // namespace

QString ibusEngineName(const QVariant& reply) {
  const QVariant value = unwrapped(reply);
  if (!isStruct(value)) return {};
  // (s type name, a{sv} attachments, s engine name, s long name, ...)
  const QDBusArgument desc = qvariant_cast<QDBusArgument>(value);
  desc.beginStructure();
  if (desc.currentSignature() != QLatin1String("s")) return {};
  QString type;
  desc >> type;
  if (type != QLatin1String("IBusEngineDesc")) return {};
  if (desc.currentType() != QDBusArgument::MapType) return {};
  QVariantMap attachments;
  desc >> attachments;
  if (desc.currentSignature() != QLatin1String("s")) return {};
  QString name;
  desc >> name;
  return name;
}

std::optional<int> menuItemWithIcon(const QDBusArgument& layout, const QString& icon) {
  if (layout.currentType() != QDBusArgument::StructureType) return std::nullopt;
  layout.beginStructure();
  if (layout.currentSignature() != QLatin1String("i")) return std::nullopt;
  int id = 0;
  layout >> id;
  if (layout.currentType() != QDBusArgument::MapType) return std::nullopt;
  QVariantMap properties;
  layout >> properties;
  const QVariant iconName = unwrapped(properties.value(QStringLiteral("icon-name")));
  if (iconName.metaType() == QMetaType::fromType<QString>() &&
      sameDashes(iconName.toString()).endsWith(sameDashes(icon))) {
    return id;
  }
  if (layout.currentType() != QDBusArgument::ArrayType) return std::nullopt;
  layout.beginArray();
  while (!layout.atEnd()) {
    QDBusVariant child;
    layout >> child;
    const QVariant item = unwrapped(child.variant());
    if (!isStruct(item)) continue;
    if (auto found = menuItemWithIcon(qvariant_cast<QDBusArgument>(item), icon)) return found;
  }
  return std::nullopt;
}

}  // namespace torvane::ui
