// Where a window's frame goes on the screen.
#pragma once

#include <QRect>

namespace torvane::ui {

// The frame centred in the screen's available area and kept inside it; a frame too large for
// the area keeps its top-left corner inside, so its title bar and top row can be reached.
inline QRect placedFrame(QRect frame, const QRect& available) {
  frame.moveCenter(available.center());
  if (frame.right() > available.right()) frame.moveRight(available.right());
  if (frame.bottom() > available.bottom()) frame.moveBottom(available.bottom());
  if (frame.left() < available.left()) frame.moveLeft(available.left());
  if (frame.top() < available.top()) frame.moveTop(available.top());
  return frame;
}

}  // namespace torvane::ui
