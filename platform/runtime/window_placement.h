// Where a backend with a real screen puts the program's companion windows so that they hide as
// little of the user's pictures as they can: plain rules on screen rectangles.
#pragma once

#include <cstdint>
#include <span>

namespace vimbrel {

// Screen pixels: the corner (x, y) and the half-open ranges [x, x + width) × [y, y + height).
struct ScreenRect {
  int x = 0, y = 0, width = 0, height = 0;
  int right() const { return x + width; }
  int bottom() const { return y + height; }
  bool empty() const { return width <= 0 || height <= 0; }
  friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

struct ScreenPoint {
  int x = 0, y = 0;
  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// The area two rectangles share (0 when they do not meet).
std::int64_t overlap(const ScreenRect& a, const ScreenRect& b);

// The outer corner of the controller (`window`: its laid-out corner and outer size) on the work
// area `screen`. Beside the main window (outer rectangle `main`) where the work area has room: to
// its right, else to its left, level with its top. Otherwise over the corner of the main window's
// view `view` that covers least of `work` (the shown pictures); ties go top right, bottom right, top
// left, bottom left. With no main window shown (`main` empty): at the right edge, near its laid-out
// top. Kept on the work area wherever it fits.
ScreenPoint place_companion(const ScreenRect& screen, const ScreenRect& main, const ScreenRect& view,
                            const ScreenRect& window, std::span<const ScreenRect> work);

// The outer corner of a window (`window`: its present corner and size) that covers none of
// `keep_clear` (the controller) where the work area `screen` allows, and then as little of `work`
// (the picture it shows) as it can; of equal places the nearest to where it is.
ScreenPoint place_clear(const ScreenRect& screen, const ScreenRect& window,
                        std::span<const ScreenRect> keep_clear, std::span<const ScreenRect> work);

}  // namespace vimbrel
