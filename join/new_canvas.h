// New canvas: "新規作成" opening the settings form, and the canvas sized from the images.
#pragma once

#include "join/session.h"

namespace vimbrel {

// Re-makes canvas_bitmap at the size the images, the side and the margins call for. When it cannot
// be made, the image read last is dropped and a canvas for what remains is made instead.
void SUB_NEW(Session& s, Window owner);
// The message for a canvas that cannot be made: out of memory, or another error by its number.
void report_canvas_failure(Session& s, Window owner, int code);

// "新規作成": empties the join and opens the settings form FORM2.
void BUTTON52_ON(Session& s, Window owner);

void add_new_canvas_events(Session& s, EventTable& table);

}  // namespace vimbrel
