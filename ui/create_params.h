// The window-class parameters of the main window. The drop-shadow class style applies to
// NT-family systems of the versions below; on Linux the window manager draws the frame and its
// shadow, so the rule decides nothing there.
#pragma once

#include <cstdint>

namespace torvane::ui {

inline constexpr std::uint32_t kDropShadowStyle = 0x20000;

// Major version above 4 and minor version above 0, both strictly: 5.1, 5.2, 6.1, 6.2 and 6.3
// get the shadow; 5.0, 6.0 and 10.0 do not.
constexpr bool wantsDropShadow(bool ntFamily, int major, int minor) {
  return ntFamily && major > 4 && minor > 0;
}

constexpr std::uint32_t windowClassStyle(std::uint32_t standard, bool ntFamily, int major,
                                         int minor) {
  return wantsDropShadow(ntFamily, major, minor) ? standard | kDropShadowStyle : standard;
}

}  // namespace torvane::ui
