#include "sources/cutout.h"

#include <algorithm>
#include <cstdint>

#include "join/position_mouse.h"
#include "join/shown_work.h"

namespace vimbrel {
namespace {

constexpr float kMinCutoutSide = 10;

ImageSlot& shown_image(JoinDocument& d) {
  return d.slot(twin_of(d.cutout.cutout_source).value_or(Twin::B));
}

// The twin commands differ in the twin only.
void toggle_cutout(Session& s, Window owner, Twin twin) {
  JoinDocument& d = s.doc;
  if (d.slot(twin).width == 0) return;
  if (twin_of(d.cutout.cutout_source) == twin) {
    d.cutout.cutout_source = kNeither;
    s.rt.SHOWWINDOW(s.c.FORM4, 0);
    return;
  }
  s.rt.SETTOPMOSTWINDOW(s.c.FORM4, -1);
  d.cutout.cutout_source = stored(twin);
  // Named in window lists after the command that shows it.
  const Window button = s.c.BUTTON[twin == Twin::A ? 61 : 62];
  s.rt.SETWINDOWTEXT(s.c.FORM4, s.rt.GETWINDOWTEXT(button));
  if (s.rt.ISWINDOWVISIBLE(s.c.FORM4) == 0) {
    // Opened clear of the controller and, where the screen allows, of the picture it shows.
    const ImageSlot& img = d.slot(twin);
    s.rt.SETWINDOWSIZE(s.c.FORM4, std::min(d.cutout.cutout_width, img.width),
                       std::min(d.cutout.cutout_height, img.height));
    s.rt.PLACEFORM(s.c.FORM4, shown_work(d, twin));
  }
  s.rt.SHOWWINDOW(s.c.FORM4, -1);
  LOAD_KCG(s, owner);
}

}  // namespace

void LOAD_KCG(Session& s, Window) {
  JoinDocument& d = s.doc;
  ImageSlot& img = shown_image(d);
  // An emptied slot (a new canvas, an image dropped for want of memory) leaves the window as it is
  // rather than shrinking it to nothing.
  if (img.width <= 0 || img.height <= 0) return;
  d.cutout.cutout_width = std::min(d.cutout.cutout_width, img.width);
  d.cutout.cutout_height = std::min(d.cutout.cutout_height, img.height);
  // Applied on every draw, so that the window always has the size the view is computed for (a new
  // canvas resets the size to 300 × 300 while the hidden window may still be smaller).
  s.rt.SETWINDOWSIZE(s.c.FORM4, d.cutout.cutout_width, d.cutout.cutout_height);
  img.cutout_x = std::clamp(img.cutout_x, 0.0f, img.width - d.cutout.cutout_width);
  img.cutout_y = std::clamp(img.cutout_y, 0.0f, img.height - d.cutout.cutout_height);
  s.rt.BITBLT(s.c.FORM4, 0, 0, d.cutout.cutout_width, d.cutout.cutout_height, img.bitmap, img.cutout_x,
              img.cutout_y);
}

void BUTTON61_ON(Session& s, Window owner) {
  toggle_cutout(s, owner, Twin::A);
}
void BUTTON62_ON(Session& s, Window owner) {
  toggle_cutout(s, owner, Twin::B);
}

void FORM4_MOUSEDOWN(Session& s, const EventArgs& e) {
  JoinDocument& d = s.doc;
  remember_pointer(d, e);
  if (e.button == kLeftButton) {
    d.cutout.cutout_left = s.rt.GETLEFT(s.c.FORM4);
    d.cutout.cutout_top = s.rt.GETTOP(s.c.FORM4);
  }
}

void FORM4_MOUSEMOVE(Session& s, const EventArgs& e) {
  JoinDocument& d = s.doc;
  const auto [dx, dy] = pointer_movement(d, e);
  // The runtime reports a drag in the frame the window had when the button went down, so the
  // window can follow the pointer step by step.
  if (e.button == kLeftButton) {
    d.cutout.cutout_left += dx;
    d.cutout.cutout_top += dy;
    s.rt.MOVEWINDOW(s.c.FORM4, d.cutout.cutout_left, d.cutout.cutout_top);
  } else if (e.button == kRightButton) {
    ImageSlot& img = shown_image(d);
    img.cutout_x -= dx;
    img.cutout_y -= dy;
    LOAD_KCG(s, e.owner);
  } else if (e.button == kBothButtons) {
    d.cutout.cutout_width = std::max(d.cutout.cutout_width + dx, kMinCutoutSide);
    d.cutout.cutout_height = std::max(d.cutout.cutout_height + dy, kMinCutoutSide);
    s.rt.SETWINDOWSIZE(s.c.FORM4, d.cutout.cutout_width, d.cutout.cutout_height);
    LOAD_KCG(s, e.owner);
  }
}

void add_cutout_events(Session& s, EventTable& table) {
  VIMBREL_EVENT(table, s, BUTTON61_ON);
  VIMBREL_EVENT(table, s, BUTTON62_ON);
  VIMBREL_EVENT(table, s, FORM4_MOUSEDOWN);
  VIMBREL_EVENT(table, s, FORM4_MOUSEMOVE);
}

}  // namespace vimbrel
