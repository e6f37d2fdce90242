// Tooltips as the window shows them: up after 500 ms of rest, down after 2500 ms.
#pragma once

#include <QProxyStyle>
#include <QString>
#include <QWidget>

namespace torvane::ui {

inline constexpr int kToolTipDelayMs = 500;
inline constexpr int kToolTipDurationMs = 2500;

// The application's style with the tooltip wake-up delay of the window.
class ToolTipStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                const QWidget* widget = nullptr,
                QStyleHintReturn* returnData = nullptr) const override;
};

// Gives a control its tooltip; each CR LF of the text starts a new line.
void setHint(QWidget* control, const QString& text);

}  // namespace torvane::ui
