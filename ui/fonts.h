// The Japanese faces the layout names, and their stand-ins on Linux.
#pragma once

#include <QFont>
#include <QString>

namespace torvane::ui {

inline const QString kGothic = QStringLiteral("ＭＳ ゴシック");                // fixed pitch
inline const QString kProportionalGothic = QStringLiteral("ＭＳ Ｐゴシック");  // proportional

// Teaches fontconfig to answer the two faces with the metric-compatible IPA faces (IPAGothic,
// IPAPGothic) where the faces themselves are missing. Call before the first font is used.
void installFontSubstitutes();

// A font by face and character height in pixels.
QFont japaneseFont(const QString& face, int pixelHeight, bool bold = false);

}  // namespace torvane::ui
