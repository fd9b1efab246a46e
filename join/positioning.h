// Positioning: the 48 step buttons, UNDO and the resets. The mouse in the canvas view is
// join/position_mouse.h.
#pragma once

#include <cstdint>

#include "join/session.h"

namespace vimbrel {

// The image the positioning commands act on: A while RADIO5 is set, B otherwise.
ImageSlot& controlled_image(Session& s);

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

void add_positioning_events(Session& s, EventTable& table);

}  // namespace vimbrel
