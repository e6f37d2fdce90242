#include "ui/app/application_title.h"

namespace torvane::ui {

QString applicationTitle(const QString& executablePath) {
  QString name = executablePath.section(QLatin1Char('/'), -1);
  name = name.left(name.indexOf(QLatin1Char('.')));  // the whole name when it has no "."
  if (name.isEmpty()) return name;
  return name.left(1) + name.mid(1).toLower();
}

}  // namespace torvane::ui
