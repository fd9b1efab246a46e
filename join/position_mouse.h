// The mouse in the canvas view: the right button drags the controlled image, the left button pans.
#pragma once

#include <cstdint>
#include <utility>

#include "join/session.h"

namespace vimbrel {

// The pointer's last point (mouse_last_x, mouse_last_y), shared by the canvas view and the cut-out
// window: remembered at a press, and each move reports how far it went since the point before.
void remember_pointer(JoinDocument& d, const EventArgs& e);
std::pair<std::int16_t, std::int16_t> pointer_movement(JoinDocument& d, const EventArgs& e);

void PICTURE1_MOUSEDOWN(Session& s, const EventArgs& e);
void PICTURE1_MOUSEMOVE(Session& s, const EventArgs& e);

}  // namespace vimbrel
