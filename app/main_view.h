// The main window's view of the canvas: layout, scroll bars, the corner button.
//
// The view values (view_x, view_width, scroll_unit_x, over_x, corner_state, ...) live in the join
// document's view state, since the mouse handlers of PICTURE1 read and move them too.
#pragma once

#include "app/view_scale.h"
#include "join/session.h"

namespace vimbrel {

// The view rule as it stands for the last layout.
ViewShown shown_now(const Session& s);

// Lays out PICTURE1, HSCROLL1, VSCROLL1 and BUTTON1 for the canvas and the window size; does nothing
// when neither changed since the last layout. Copies nothing.
void WIN_SAIZU_SUB(Session& s, Window owner);
// The scroll range and the canvas pixels per scroll unit of one axis (scaled past 32767).
void SCROLL_XD_SUB(Session& s, Window owner);
void SCROLL_YD_SUB(Session& s, Window owner);
// Copies the visible part of the canvas into PICTURE1, from the scroll positions.
void CG_UP_SUB(Session& s, Window owner);
// Shows the canvas from view_x, view_y as they stand, at the view's scale: at 100 % on an unscaled
// screen a plain BITBLT of the visible part, otherwise the scaled copy of the visible part.
void CG_SHOW_SUB(Session& s, Window owner);
// WIN_SAIZU_SUB, then CG_UP_SUB.
void CG_ON_SUB(Session& s, Window owner);

void MAINFORM_RESIZE(Session& s, Window owner);
void HSCROLL1_CHANGE(Session& s, Window owner);
void VSCROLL1_CHANGE(Session& s, Window owner);
// The corner jump: alternately to the bottom-right and the top-left corner of the canvas.
void BUTTON1_ON(Session& s, Window owner);

void add_view_events(Session& s, EventTable& table);

}  // namespace vimbrel
