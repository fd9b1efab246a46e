#include "join/positioning.h"

#include "join/position_mouse.h"

#include <string>

#include "join/renderer.h"
#include "join/step_buttons.h"

namespace vimbrel {
namespace {

void unplace(ImageSlot& image) {
  image.x = -1;
  image.y = -1;
}

// A reset of one image's position, for an image that is present.
void reset_one(Session& s, Window owner, ImageSlot& image) {
  if (image.width == 0) return;
  unplace(image);
  LOAD_SCG(s, owner);
}

}  // namespace

ImageSlot& controlled_image(Session& s) {
  return s.rt.GETCHECK(s.c.RADIO5) != 0 ? s.doc.a : s.doc.b;
}

void HOZON_SUB(Session& s, Window) {
  ImageSlot& image = controlled_image(s);
  image.undo_x = image.x;
  image.undo_y = image.y;
}

void P_SUB(Session& s, Window, const std::int16_t& dx, const std::int16_t& dy) {
  ImageSlot& image = controlled_image(s);
  image.x += dx;
  image.y += dy;
  // Both images are held at the top and left edges, not only the one that moved.
  for (float* p : {&s.doc.a.x, &s.doc.a.y, &s.doc.b.x, &s.doc.b.y}) {
    if (*p < 0) *p = 0;
  }
}

void PH_SUB(Session& s, Window owner, const std::int16_t& dx, const std::int16_t& dy) {
  if (s.doc.a.width == 0 || s.doc.b.width == 0) return;
  HOZON_SUB(s, owner);
  P_SUB(s, owner, dx, dy);
  LOAD_SCG(s, owner);
}

// UNDO: the controlled image goes back to its slot; the slot keeps its value.
void BUTTON3_ON(Session& s, Window owner) {
  ImageSlot& image = controlled_image(s);
  image.x = image.undo_x;
  image.y = image.undo_y;
  LOAD_SCG(s, owner);
}

// The resets mark positions as not placed; the renderer then places them again and fills the undo slots.
void BUTTON57_ON(Session& s, Window owner) {
  if (s.doc.a.width == 0 || s.doc.b.width == 0) return;
  unplace(s.doc.a);
  unplace(s.doc.b);
  LOAD_SCG(s, owner);
}

void BUTTON58_ON(Session& s, Window owner) {
  reset_one(s, owner, s.doc.a);
}

void BUTTON59_ON(Session& s, Window owner) {
  reset_one(s, owner, s.doc.b);
}

void add_positioning_events(Session& s, EventTable& table) {
  for (const StepButton& b : kStepButtons) {
    const auto dx = static_cast<std::int16_t>(b.step * b.dx);
    const auto dy = static_cast<std::int16_t>(b.step * b.dy);
    // Named by the table that lays the buttons out as well.
    add_event(table, "BUTTON" + std::to_string(b.number) + "_ON",
              [&s, dx, dy](const EventArgs& e) { PH_SUB(s, e.owner, dx, dy); });
  }
  VIMBREL_EVENT(table, s, BUTTON3_ON);
  VIMBREL_EVENT(table, s, BUTTON57_ON);
  VIMBREL_EVENT(table, s, BUTTON58_ON);
  VIMBREL_EVENT(table, s, BUTTON59_ON);
  VIMBREL_EVENT(table, s, PICTURE1_MOUSEDOWN);
  VIMBREL_EVENT(table, s, PICTURE1_MOUSEMOVE);
}

}  // namespace vimbrel
