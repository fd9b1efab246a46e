// Where the main window puts the canvas view, its scroll bars and the corner button, from nothing
// but the canvas size and the client area the window really has.
#pragma once

#include <cstdint>

namespace vimbrel {

struct ViewLayout {
  bool hbar = false, vbar = false;  // the corner button shows exactly when both do
  int x = 0, y = 0;                 // PICTURE1's corner; the bars lie along its bottom and right edges
  std::int16_t view_width = 0, view_height = 0;
  bool keep_x = false, keep_y = false;  // whether the scroll positions survive (the axis scrolls)
};

// Strict comparisons: a canvas exactly as large as the room needs no bar. A picture that fits
// on an axis is centred there (the odd pixel to the right or bottom), together with the bar
// along it. View sizes never go below 0, even in a client area smaller than a bar.
ViewLayout layout_view(float canvas_width, float canvas_height, int client_width, int client_height, int bar);

}  // namespace vimbrel
