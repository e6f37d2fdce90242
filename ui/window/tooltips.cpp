#include "ui/window/tooltips.h"

namespace torvane::ui {

int ToolTipStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                            QStyleHintReturn* returnData) const {
  if (hint == SH_ToolTip_WakeUpDelay) return kToolTipDelayMs;
  if (hint == SH_MenuBar_AltKeyNavigation) return 1;  // Alt alone reaches the menu bar
  return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void setHint(QWidget* control, const QString& text) {
  QString lines = text;
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  control->setToolTip(lines);
  control->setToolTipDuration(kToolTipDurationMs);
}

}  // namespace torvane::ui
