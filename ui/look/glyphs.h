// The two-state glyphs of the paste and copy buttons.
#pragma once

#include <QIcon>
#include <QImage>

namespace torvane::ui {

// 16-colour bitmaps of 32 x 16 pixels: the normal glyph left, the disabled glyph right.
QImage pasteGlyphBitmap();
QImage copyGlyphBitmap();

// The icon of a button glyph: pixels of the bitmap's bottom-left colour are transparent, the
// left half is the normal state and the right half the disabled one.
QIcon twoStateGlyph(const QImage& bitmap);

}  // namespace torvane::ui
