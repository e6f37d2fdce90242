// The glyphs of the paste and copy buttons: 16-colour bitmaps of 32 x 16 pixels, the normal
// glyph on the left and the disabled one on the right. The colour of the bottom-left pixel
// (olive) is transparent.
#include "ui/look/glyphs.h"

#include <QPixmap>

namespace torvane::ui {
namespace {

// The colours both bitmaps use; olive, the first, is the transparent one.
#define GLYPH_PALETTE                                                                       \
  ". c #808000", "k c #000000", "m c #800000", "r c #FF0000", "s c #C0C0C0", "g c #808080", \
      "w c #FFFFFF",

// A clipboard, and a red arrow pointing down from it to a written sheet.
const char* const kPasteXpm[] = {
    "32 16 7 1",
    GLYPH_PALETTE "....sss.............ggg.........",
    ".mmmskkmm..rr....gggggggg..gg...",
    ".mwwwwwwm..rr....gwwwwwwgw.ggw..",
    ".mwkkkkwm..rr....gwgggg.gw.ggw..",
    ".mwwwwwwm..rr....gw.wwwwgw.ggw..",
    ".mwkkkkwm..rr....gwgggg.gw.ggw..",
    ".mwwwwwwm.rrrr...gw.wwwwgwgggg..",
    ".mwkkkkwmrrrrrr..gwgggg.ggggggg.",
    ".mwwwwwwm.rrrr...gw.wwwwgwggggww",
    ".mmmmmmmm..rr....ggggggggw.ggww.",
    ".......kkkkkkkk...wwwwwgggggggg.",
    ".......kwwwwwwk........gwwwwwwgw",
    ".......kwkkkkwk........gwgggg.gw",
    ".......kwwwwwwk........gw.wwwwgw",
    ".......kwkkkkwk........gwgggg.gw",
    ".......kkkkkkkk........ggggggggw",
};

// A written sheet, and a red arrow pointing down from it into a clipboard.
const char* const kCopyXpm[] = {
    "32 16 7 1",
    GLYPH_PALETTE "kkkkkkkk........gggggggg........",
    "kwwwwwwk...rr...gwwwwwwgw..gg...",
    "kwkkkkwk...rr...gwgggg.gw..ggw..",
    "kwwwwwwk...rr...gw.wwwwgw..ggw..",
    "kwkkkkwk...rr...gwgggg.gw..ggw..",
    "kwwwwwwk..rrrr..gw.wwwwgw.gggg..",
    "kkkkkkkk.rrrrrr.ggggggggwgggggg.",
    "......ssss.rr....wwwwwggggwggwww",
    "......msksmmm.........gggggggw..",
    "......mwwwwwm.........gwwwwwgw..",
    "......mwkkkwm.........gwggg.gw..",
    "......mwwwwwm.........gw.wwwgw..",
    "......mwkkkwm.........gwggg.gw..",
    "......mwwwwwm.........gw.wwwgw..",
    "......mwwwwwm.........gw....gw..",
    "......mmmmmmm.........gggggggw..",
};

#undef GLYPH_PALETTE

// An XPM picture as a 16-colour indexed image, as the bitmap is stored.
QImage bitmapOf(const char* const* xpm) {
  return QImage(xpm).convertToFormat(QImage::Format_Indexed8);
}

}  // namespace

QImage pasteGlyphBitmap() {
  return bitmapOf(kPasteXpm);
}
QImage copyGlyphBitmap() {
  return bitmapOf(kCopyXpm);
}

QIcon twoStateGlyph(const QImage& bitmap) {
  QImage image = bitmap.convertToFormat(QImage::Format_ARGB32);
  const QRgb transparent = image.pixel(0, image.height() - 1);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) == transparent) image.setPixel(x, y, qRgba(0, 0, 0, 0));
    }
  }
  const int half = image.width() / 2;
  QIcon icon;
  icon.addPixmap(QPixmap::fromImage(image.copy(0, 0, half, image.height())), QIcon::Normal);
  icon.addPixmap(QPixmap::fromImage(image.copy(half, 0, half, image.height())), QIcon::Disabled);
  return icon;
}

}  // namespace torvane::ui
