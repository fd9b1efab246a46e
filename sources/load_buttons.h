// The load buttons of the A and B images: a new file chosen in a dialog, or the same file again.
#pragma once

#include "join/session.h"

namespace vimbrel {

// "Ａ画像ロード" / "Ｂ画像ロード": a new file for the slot, with its crop reset and a new canvas.
void BUTTON53_ON(Session& s, Window owner);
void BUTTON54_ON(Session& s, Window owner);
// "Ａ画像再ロード" / "Ｂ画像再ロード": the slot's file read again, its crop kept.
void BUTTON55_ON(Session& s, Window owner);
void BUTTON56_ON(Session& s, Window owner);

void add_loading_events(Session& s, EventTable& table);

}  // namespace vimbrel
