// Reads the structured replies of the input methods' D-Bus services: IBus's engine description
// and the tray menu layout that fcitx5 publishes.
#pragma once

#include <QString>
#include <QVariant>

#include <optional>

class QDBusArgument;

namespace torvane::ui {

// The engine name inside an IBusEngineDesc, as GetGlobalEngine or the GlobalEngine property
// return it (a variant holding the serialised struct). Empty when the value is anything else.
QString ibusEngineName(const QVariant& reply);

// The id of the first item of a com.canonical.dbusmenu layout, struct (ia{sv}av), whose
// icon-name ends with `icon`; '_' and '-' count as the same. Searches the whole tree.
std::optional<int> menuItemWithIcon(const QDBusArgument& layout, const QString& icon);

}  // namespace torvane::ui
