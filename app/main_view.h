// The main window's view of the canvas: layout, scroll bars, the corner button.
#pragma once

#include "join/session.h"

namespace vimbrel {

void CG_ON_SUB(Session& s, Window owner);
void add_view_events(Session& s, EventTable& table);

}  // namespace vimbrel
