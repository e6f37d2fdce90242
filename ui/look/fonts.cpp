#include "ui/look/fonts.h"

#include <fontconfig/fontconfig.h>

namespace torvane::ui {
namespace {

// "binding=same" makes the stand-in count as the face itself, so it wins over the generic
// fallbacks; the ASCII spellings are the faces' other names.
constexpr const char kAliases[] = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <alias binding="same"><family>ＭＳ ゴシック</family><accept><family>IPAGothic</family></accept></alias>
  <alias binding="same"><family>MS Gothic</family><accept><family>IPAGothic</family></accept></alias>
  <alias binding="same"><family>ＭＳ Ｐゴシック</family><accept><family>IPAPGothic</family></accept></alias>
  <alias binding="same"><family>MS PGothic</family><accept><family>IPAPGothic</family></accept></alias>
</fontconfig>
)";

}  // namespace

QStringList faceNames(const QString& face) {
  if (face == kGothic) return {face, QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic")};
  if (face == kProportionalGothic)
    return {face, QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic")};
  return {face};
}

void installFontSubstitutes() {
  static const bool installed = [] {
    FcConfig* config = FcConfigGetCurrent();
    return config != nullptr && FcConfigParseAndLoadFromMemory(
                                    config, reinterpret_cast<const FcChar8*>(kAliases), FcTrue);
  }();
  (void)installed;
}

QFont japaneseFont(const QString& face, int pixelHeight, bool bold) {
  QFont font(face);
  font.setPixelSize(pixelHeight);
  font.setBold(bold);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

}  // namespace torvane::ui
