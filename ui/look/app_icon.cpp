#include "ui/look/app_icon.h"

#include <QPixmap>

namespace torvane::ui {
namespace {

// The same picture is installed for the desktop as torvane.xpm.
#include "data/torvane.xpm"

}  // namespace

QImage applicationIconImage() {
  return QImage(torvane_xpm).convertToFormat(QImage::Format_RGB888);
}

QIcon applicationIcon() {
  return QIcon(QPixmap::fromImage(applicationIconImage()));
}

}  // namespace torvane::ui
