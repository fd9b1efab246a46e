// The composition renderer: places the images, paints the canvas from the join document and shows it.
//
// The composite itself (background, stacking, effect modes) is join/compose.h, shared with the save.
#pragma once

#include "join/compose.h"
#include "join/session.h"

namespace vimbrel {

// Redraws the canvas from the join document: background by effect; with both images present, the
// default placement of unplaced images (writing their undo copies) and the clamp into the canvas for
// each attachment side set in RADIO1 ... RADIO4; the draw positions; the composite. Then shows it
// through CG_ON_SUB when an image is present, and makes FORM3 topmost. The canvas' draw mode is 13
// afterwards. Read the canvas' pixels only through the runtime (picture(), BITBLT, SAVEFILE), never
// through a pointer kept from before the call.
void LOAD_SCG(Session& s, Window owner);

// The default placement and the clamp for one attachment side.
void place_for_side(JoinDocument& d, Side side);
// a_draw_x = a_x + a_src_left, ... for both images.
void update_draw_positions(JoinDocument& d);

// FORM3's events: the effect list, and the stacking radio buttons.
void LIST1_CHANGE(Session& s, Window owner);
void RADIO7_ON(Session& s, Window owner);
void RADIO8_ON(Session& s, Window owner);

void add_renderer_events(Session& s, EventTable& table);

}  // namespace vimbrel
