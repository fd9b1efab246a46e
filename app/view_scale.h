// The view scale: from the canvas size, the client area, the scale chosen and the scroll positions
// to what the main view shows and where. One pure function, so that the layout, the scroll bars,
// the copy, the drags and the zoom about a point all read one rule; at 100 % on an unscaled screen
// it is exactly layout_view() with scroll bars of one canvas pixel per unit.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "app/view_layout.h"

namespace vimbrel {

// What the user chose: the whole canvas in the window (never above 100 %), or a scale, in device
// pixels per canvas pixel (1 = 実寸: one canvas pixel on one pixel of the screen).
struct ViewScale {
  bool fit = false;
  double scale = 1;
};

struct ViewInput {
  float canvas_width = 0, canvas_height = 0;
  int client_width = 0, client_height = 0;  // the window's client area, in its own pixels
  int bar = 16;                             // scroll bar thickness, in the same pixels
  ViewScale chosen;
  double device_ratio = 1;  // device pixels per client pixel (2 on a screen scaled to 200 %)
  std::int16_t scroll_pos_x = 0, scroll_pos_y = 0;
};

// One axis of the view. Scroll units are canvas pixels (several in the scaled mode past 32767).
struct ViewAxis {
  float over = 0;        // canvas pixels that do not fit: canvas size - shown extent
  float unit = 1;        // canvas pixels per scroll unit
  std::int16_t max = 0;  // upper end of the scroll range
  float origin = 0;      // canvas coordinate at PICTURE1's edge: scroll position × unit
  double extent = 0;     // canvas pixels PICTURE1 spans
  int surface = 0;       // device pixels of PICTURE1's surface
};

struct ViewShown {
  ViewLayout layout;  // PICTURE1, the bars and the corner button, in client pixels
  double scale = 1;   // in force, in device pixels per canvas pixel (the fit worked out)
  double zoom = 1;    // client pixels per canvas pixel: scale / device_ratio
  ViewAxis x, y;
  // Scale 1 on an unscaled screen: the view is a plain copy of the canvas.
  bool plain = true;
};

ViewShown show_view(const ViewInput& in);

// The scales the steps in and out go through (1/16 ... 8), smallest first.
std::span<const double> view_steps();
// The next step above or below `scale`; `scale` itself at either end.
double step_in(double scale);
double step_out(double scale);

// The scroll position of an axis that puts canvas coordinate `canvas` at `at` client pixels from
// PICTURE1's edge, held inside the scroll range; 0 on an axis that does not scroll.
std::int16_t scroll_for_point(const ViewShown& v, bool x_axis, double canvas, double at);

// "25%", "67%", "6.3%": the scale as the title line shows it.
std::string scale_text(double scale);

}  // namespace vimbrel
