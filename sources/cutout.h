// The cut-out window: a source at full size in the frameless FORM4.
#pragma once

#include "join/session.h"

namespace vimbrel {

// Draws the shown image (A while cutout_source names A, B otherwise) into FORM4 at its view position,
// after shrinking the window to the image and clamping the view into it.
void LOAD_KCG(Session& s, Window owner);

// "Ａ画像切り出し" / "Ｂ画像切り出し": show that image, or hide the window when it already shows it.
void BUTTON61_ON(Session& s, Window owner);
void BUTTON62_ON(Session& s, Window owner);

// Dragging over FORM4: the left button moves the window, the right one slides the image, both
// resize it (at least 10).
void FORM4_MOUSEDOWN(Session& s, const EventArgs& e);
void FORM4_MOUSEMOVE(Session& s, const EventArgs& e);

void add_cutout_events(Session& s, EventTable& table);

}  // namespace vimbrel
