// Positioning: the right-button drag, the 48 step buttons, UNDO, the resets and the left-button pan.
#pragma once

#include <cstdint>
#include <utility>

#include "join/session.h"

namespace vimbrel {

// The image the positioning commands act on: A while RADIO5 is set, B otherwise.
ImageSlot& controlled_image(Session& s);

// The pointer's last point (mouse_last_x, mouse_last_y), shared by the canvas view and the cut-out
// window: remembered at a press, and each move reports how far it went since the point before.
void remember_pointer(JoinDocument& d, const EventArgs& e);
std::pair<std::int16_t, std::int16_t> pointer_movement(JoinDocument& d, const EventArgs& e);

// Saves the controlled image's position into its undo slot.
void HOZON_SUB(Session& s, Window owner);
// Moves the controlled image by (dx, dy), then keeps every position at 0 or more.
void P_SUB(Session& s, Window owner, const std::int16_t& dx, const std::int16_t& dy);
// One nudge with both images loaded: save, move, redraw.
void PH_SUB(Session& s, Window owner, const std::int16_t& dx, const std::int16_t& dy);

void BUTTON3_ON(Session& s, Window owner);
void BUTTON57_ON(Session& s, Window owner);
void BUTTON58_ON(Session& s, Window owner);
void BUTTON59_ON(Session& s, Window owner);
void PICTURE1_MOUSEDOWN(Session& s, const EventArgs& e);
void PICTURE1_MOUSEMOVE(Session& s, const EventArgs& e);

void add_positioning_events(Session& s, EventTable& table);

}  // namespace vimbrel
