// The crop sliders: each image trimmed from its four edges, at least one column and row always left.
#pragma once

#include "join/session.h"

namespace vimbrel {

// Fit A's or B's crop to the image's size after a reload, and show it on the sliders when that
// image is the controlled one. Where the crops overlap, the side B joins on decides which gives way.
void ACG_SRID_CHK(Session& s, Window owner);
void BCG_SRID_CHK(Session& s, Window owner);

// "Ａ画像" / "Ｂ画像": hand the four sliders to that image's bounds and crop (no redraw).
void RADIO5_ON(Session& s, Window owner);
void RADIO6_ON(Session& s, Window owner);

// A slider moved by the user: the controlled image's crop on that edge; on an overlap the opposite
// edge gives way so that one column or row remains. Then redraw.
void HSCROLL2_CHANGE(Session& s, Window owner);
void HSCROLL3_CHANGE(Session& s, Window owner);
void VSCROLL2_CHANGE(Session& s, Window owner);
void VSCROLL3_CHANGE(Session& s, Window owner);

void add_crop_events(Session& s, EventTable& table);

}  // namespace vimbrel
