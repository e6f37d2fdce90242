// Where a window's frame goes on the screen.
#pragma once

#include <QMargins>
#include <QRect>

#include <optional>

namespace torvane::ui {

// No title bar or border is this wide, even at twice the usual scale.
inline constexpr int kMostFrameMargin = 128;

// The margins of `frame` around `client`, when they are a frame's: none when the frame does not
// hold the client area or a margin is wider than any frame. (A window manager that has not yet
// applied the window's size reports a frame smaller than the window; taken at its word, it
// placed the window's corner at the centre of the screen.)
inline std::optional<QMargins> believableFrameMargins(const QRect& frame, const QRect& client) {
  const QMargins margins(client.left() - frame.left(), client.top() - frame.top(),
                         frame.right() - client.right(), frame.bottom() - client.bottom());
  for (int margin : {margins.left(), margins.top(), margins.right(), margins.bottom()}) {
    if (margin < 0 || margin > kMostFrameMargin) return std::nullopt;
  }
  return margins;
}

// The frame around `client` as far as it is known: `reported` when its margins are believable,
// the client area alone otherwise.
inline QRect knownFrame(const QRect& reported, const QRect& client) {
  return client.marginsAdded(believableFrameMargins(reported, client).value_or(QMargins()));
}

// The frame moved the least that brings it inside the available area; a frame too large for
// the area keeps its top-left corner inside, so its title bar and top row can be reached.
inline QRect keptInside(QRect frame, const QRect& available) {
  if (frame.right() > available.right()) frame.moveRight(available.right());
  if (frame.bottom() > available.bottom()) frame.moveBottom(available.bottom());
  if (frame.left() < available.left()) frame.moveLeft(available.left());
  if (frame.top() < available.top()) frame.moveTop(available.top());
  return frame;
}

// The frame centred in the screen's available area and kept inside it.
inline QRect placedFrame(QRect frame, const QRect& available) {
  frame.moveCenter(available.center());
  return keptInside(frame, available);
}

}  // namespace torvane::ui
