// The Japanese faces the layout names, and their stand-ins on Linux.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace torvane::ui {

inline const QString kGothic = QStringLiteral("ＭＳ ゴシック");                // fixed pitch
inline const QString kProportionalGothic = QStringLiteral("ＭＳ Ｐゴシック");  // proportional

// Teaches fontconfig to answer the two faces with the metric-compatible IPA faces (IPAGothic,
// IPAPGothic) where the faces themselves are missing. Call before the first font is used.
void installFontSubstitutes();

// The names a face goes by, for readers of our text elsewhere: the face itself, its ASCII name
// and its stand-in here, where known.
QStringList faceNames(const QString& face);

// A font by face and character height in pixels.
QFont japaneseFont(const QString& face, int pixelHeight, bool bold = false);

}  // namespace torvane::ui
