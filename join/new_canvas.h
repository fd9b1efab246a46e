// New canvas: "新規作成" opening the settings form, and the canvas sized from the images.
#pragma once

#include "join/session.h"

namespace vimbrel {

// Re-makes canvas_bitmap at the size the images, the side and the margins call for. When it cannot
// be made, the image read last is dropped and a canvas for what remains is made instead.
void SUB_NEW(Session& s, Window owner);
// The message for a canvas that cannot be made: out of memory, or another error by its number.
void report_canvas_failure(Session& s, Window owner, int code);

// "新規作成": opens the settings form FORM2 in place of the controller, after asking whether a join
// not saved since its last change may go. The join stays as it is until the settings are saved.
void BUTTON52_ON(Session& s, Window owner);
// The settings form's close box or Escape: back to the controller with the join as it was.
void FORM2_CANCEL(Session& s, Window owner);
// Empties the join document for a new join: no images, a 0 × 0 canvas, the commands disabled and
// the cut-out window closed ("設　定　の　保　存" calls it before it takes the settings).
void empty_join(Session& s, Window owner);

void add_new_canvas_events(Session& s, EventTable& table);

}  // namespace vimbrel
