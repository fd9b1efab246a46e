// New canvas: "新規作成", the settings form, and the canvas sized from the images.
#pragma once

#include "join/session.h"

namespace vimbrel {

void SUB_NEW(Session& s, Window owner);
void add_new_canvas_events(Session& s, EventTable& table);

}  // namespace vimbrel
