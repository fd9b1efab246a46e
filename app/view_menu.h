// The main window's 表示 (View) menu: 実寸, 拡大, 縮小, 全体表示, and Ctrl + wheel over the view.
// Each command sets the view scale and lays the view out again, keeping the canvas point at the
// view's centre (the keys and the menu) or under the pointer (the wheel) where it was.
#pragma once

#include "join/session.h"

namespace vimbrel {

void VIEW_ACTUAL_ON(Session& s, Window owner);   // 実寸 (Ctrl+0): 100 %
void VIEW_ZOOMIN_ON(Session& s, Window owner);   // 拡大 (Ctrl++, Ctrl+=): the next step up
void VIEW_ZOOMOUT_ON(Session& s, Window owner);  // 縮小 (Ctrl+-): the next step down
void VIEW_FIT_ON(Session& s, Window owner);      // 全体表示 (F): the whole canvas, until another scale
// With Ctrl held, a notch of the wheel steps in (away from the user) or out about the pointer.
void PICTURE1_WHEEL(Session& s, const EventArgs& e);

// Checks 実寸 and 全体表示 where they are in force, and enables 拡大 and 縮小 short of the ends.
void view_menu_checks(Session& s);

void add_view_menu_events(Session& s, EventTable& table);

}  // namespace vimbrel
