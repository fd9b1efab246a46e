#include "join/position_mouse.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "join/positioning.h"
#include "join/renderer.h"
#include "platform/pixels/rounding.h"

namespace vimbrel {
namespace {

// One axis of a pan: the view moves against the pointer, held inside the canvas, and the thumb follows.
// At a view scale other than 100 % the pointer's pixels are worked into canvas pixels by the zoom.
struct PanAxis {
  Window bar;
  float& view_pos;
  float canvas_size;
  std::int16_t view_size;
  float scroll_unit;
  std::int16_t& scroll_pos;
  double zoom;
};

void pan_axis(Session& s, const PanAxis& axis, std::int16_t delta) {
  if (s.rt.ISWINDOWVISIBLE(axis.bar) == 0) return;
  const bool plain = axis.zoom == 1;
  float t = axis.view_pos - (plain ? static_cast<float>(delta) : static_cast<float>(delta / axis.zoom));
  const float extent =
      plain ? static_cast<float>(axis.view_size) : static_cast<float>(axis.view_size / axis.zoom);
  if (t < 0) t = 0;
  if (axis.canvas_size - t < extent) t = axis.canvas_size - extent;
  axis.view_pos = t;
  // The thumb stands where the view is, in the bar's own unit (several pixels in the scaled mode):
  // a bar click after the pan then moves on from here, not from a point a rounded unit put elsewhere.
  axis.scroll_pos = to_int16(axis.view_pos / std::max(axis.scroll_unit, 1.0f));
  s.rt.SETSCROLLPOS(axis.bar, axis.scroll_pos);
}

void pan(Session& s, std::int16_t dx, std::int16_t dy) {
  JoinDocument& d = s.doc;
  pan_axis(s,
           {s.c.HSCROLL1, d.view.view_x, d.canvas_width, d.view.view_width, d.view.scroll_unit_x,
            d.view.scroll_pos_x, d.view.zoom},
           dx);
  pan_axis(s,
           {s.c.VSCROLL1, d.view.view_y, d.canvas_height, d.view.view_height, d.view.scroll_unit_y,
            d.view.scroll_pos_y, d.view.zoom},
           dy);
  if (d.view.scale != 1 || d.view.device_ratio != 1) {
    if (s.shell.CG_SHOW_SUB) s.shell.CG_SHOW_SUB(Window{});
  } else if (s.rt.CHECKOBJECT(d.canvas_bitmap) != 0) {
    s.rt.BITBLT(s.c.PICTURE1, 0, 0, d.view.view_width, d.view.view_height, d.canvas_bitmap, d.view.view_x,
                d.view.view_y);
  }
}

// The canvas pixels a pointer movement of `delta` view pixels makes at `zoom`, whole pixels only:
// what is left over is carried in `rest` to the next step, so a long slow drag does not drift.
std::int16_t canvas_step(float& rest, std::int16_t delta, double zoom) {
  const double total = rest + delta / zoom;
  const double whole = std::trunc(total);
  rest = static_cast<float>(total - whole);
  return to_int16(static_cast<float>(whole));
}

}  // namespace

void remember_pointer(JoinDocument& d, const EventArgs& e) {
  d.mouse_last_x = to_int16(e.x);
  d.mouse_last_y = to_int16(e.y);
}

std::pair<std::int16_t, std::int16_t> pointer_movement(JoinDocument& d, const EventArgs& e) {
  const std::int16_t dx = to_int16(e.x - d.mouse_last_x);
  const std::int16_t dy = to_int16(e.y - d.mouse_last_y);
  remember_pointer(d, e);
  return {dx, dy};
}

void PICTURE1_MOUSEDOWN(Session& s, const EventArgs& e) {
  if (e.button == kLeftButton) {
    remember_pointer(s.doc, e);
  } else if (e.button == kRightButton && s.doc.b.x >= 0) {
    remember_pointer(s.doc, e);
    s.doc.view.drag_rest_x = s.doc.view.drag_rest_y = 0;
    HOZON_SUB(s, e.owner);  // the whole drag is one step of UNDO
  }
}

void PICTURE1_MOUSEMOVE(Session& s, const EventArgs& e) {
  if (e.button == kLeftButton) {
    const auto [dx, dy] = pointer_movement(s.doc, e);
    pan(s, dx, dy);
  } else if (e.button == kRightButton && s.doc.b.x >= 0) {
    auto [dx, dy] = pointer_movement(s.doc, e);
    if (s.doc.view.zoom != 1) {
      dx = canvas_step(s.doc.view.drag_rest_x, dx, s.doc.view.zoom);
      dy = canvas_step(s.doc.view.drag_rest_y, dy, s.doc.view.zoom);
    }
    P_SUB(s, e.owner, dx, dy);
    LOAD_SCG(s, e.owner);
  }
}

}  // namespace vimbrel
