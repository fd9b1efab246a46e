// Positioning: the right-button drag, the 48 step buttons, UNDO, the resets and the left-button pan.
#pragma once

#include "join/session.h"

namespace vimbrel {

void add_positioning_events(Session& s, EventTable& table);

}  // namespace vimbrel
